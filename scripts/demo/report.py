"""Prints what the demo did: the notices delivered per source, one letter as
the SMTP server received it, the failures and where everything is.

    python3 report.py MAIL_DIR LOG_DIR SETTINGS_FILE SECONDS < OUTCOMES

OUTCOMES is the notice_outcome table as psql prints it unaligned:
id|id_type|outcome|error_text lines.
"""
import email
import email.header
import email.policy
import os
import re
import sys
from collections import Counter

SOURCES = {
    0: "client notices (ecfil083)",
    1: "issuer notices (qx_notice_emitent)",
    2: "manager notifications (qx_mngr_notification)",
}
NOTICE = re.compile(r"Номер уведомления: ([A-Z0-9-]+)")


def received(mail_dir):
    """(file, parsed message, notice id) of every received letter, in order."""
    letters = []
    for name in sorted(os.listdir(mail_dir)):
        if not name.endswith(".eml"):
            continue
        path = os.path.join(mail_dir, name)
        with open(path, "rb") as raw:
            message = email.message_from_binary_file(raw, policy=email.policy.default)
        body = message.get_body(preferencelist=("plain", "html")).get_content()
        found = NOTICE.search(body)
        letters.append((path, message, found.group(1) if found else None))
    return letters


def show_letter(path, message):
    print(f"One letter as received ({path}):")
    raw = email.message_from_bytes(message.as_bytes())
    for header in ("From", "To", "Subject", "Date", "Message-ID"):
        # The RFC 2047 decoder itself: the parsed address of the default
        # policy keeps the blanks between the encoded words of a name.
        decoded = email.header.make_header(email.header.decode_header(raw.get(header, "")))
        print(f"  {header + ':':12}{decoded}")
    part = message.get_body(preferencelist=("plain", "html"))
    print(f"  {'Body:':12}{part.get_content_type()}; charset={part.get_content_charset()}")
    for line in part.get_content().replace("\r\n", "\n").strip().split("\n"):
        print(f"  | {line}")


def main():
    mail_dir, log_dir, settings, seconds = sys.argv[1:5]
    outcomes = [line.rstrip("\n").split("|", 3) for line in sys.stdin if line.count("|") >= 3]
    letters = received(mail_dir)
    per_notice = Counter(notice for _, _, notice in letters)
    delivered = [(nid, int(src)) for nid, src, outcome, _ in outcomes if outcome == "SENDED"]
    failed = [(nid, int(src), outcome, error) for nid, src, outcome, error in outcomes if outcome != "SENDED"]

    print()
    print("Relaybird demo: what happened")
    print("=============================")
    print(f"{len(delivered)} notices delivered by e-mail in {seconds} s, each marked in its source table:")
    for source, label in SOURCES.items():
        print(f"  {label:48}{sum(1 for _, s in delivered if s == source):3}")
    twice = sorted(n for n, count in per_notice.items() if n is not None and count > 1)
    missing = sorted(n for n, _ in delivered if per_notice[n] == 0)
    print(f"The SMTP server received {len(letters)} letters; "
          f"sent twice: {', '.join(twice) or 'none'}; missing: {', '.join(missing) or 'none'}.")
    print()

    sample = next((l for l in letters if l[2] == "CLIENT-0001"), letters[0] if letters else None)
    if sample:
        show_letter(sample[0], sample[1])
    html = next((l for l in letters if l[1].get_body(preferencelist=("html",)) is not None), None)
    if html:
        print(f"  (the HTML letter, {html[1]['Subject']!s}, is {html[0]})")
    print()

    print("Failures:")
    log_text = ""
    for root, _, names in os.walk(log_dir):
        for name in names:
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as log:
                log_text += log.read()
    if not failed:
        print("  none")
    for notice, source, outcome, error in failed:
        attempts = log_text.count(error) if error else 0
        print(f"  {notice} ({SOURCES[source].split(' (')[0]}): failed {attempts} times, "
              f"then given up and marked {outcome}")
        print(f"    {error}")
    print()
    print("Where things are:")
    print(f"  process logs       {log_dir}")
    print(f"  received mails     {mail_dir}  (NNNNNN.eml as received, NNNNNN.txt decoded)")
    print(f"  settings file      {settings}")
    errors = os.path.join(os.path.dirname(settings), "Relaybird_Errors.log")
    if os.path.exists(errors):
        print(f"  errors of the host {errors}")
    return 0 if delivered and not twice and not missing else 1


if __name__ == "__main__":
    sys.exit(main())
