"""An SMTP peer for the tests, run by aiosmtpd:

    /usr/bin/python3 -m aiosmtpd -n -l 127.0.0.1:PORT -c smtp_keeper.Keeper FOLDER [OPTION=VALUE ...]

Every message it accepts is parsed with the email package and kept in FOLDER
as NNNNNN.txt: "key: value" lines (connection, mail_from, rcpt_to, from, to,
subject, message_id, dnt, date_valid, content_type, charset), an empty line,
then the decoded body. Options:
    refuse=a@x,b@y   answer RCPT TO for these addresses with 550
    auth=user:pass   take AUTH PLAIN/LOGIN with these credentials and refuse
                     MAIL FROM before a successful AUTH
    delay=SECONDS    wait that long before answering DATA
    close_after=N    on every connection, answer the DATA of message N+1 with
                     421 and close the connection
"""
import asyncio
import base64
import email
import email.header
import email.policy
import email.utils
import os
import itertools

from aiosmtpd.smtp import MISSING

_connections = itertools.count(1)


class Keeper:
    def __init__(self, folder, refuse=(), auth=None, delay=0.0, close_after=0):
        self.folder = folder
        self.refuse = {a.lower() for a in refuse if a}
        self.auth = auth
        self.delay = delay
        self.close_after = close_after
        os.makedirs(folder, exist_ok=True)
        # A peer started again on the same folder keeps counting.
        self.kept = len([n for n in os.listdir(folder) if n.endswith(".txt")])

    @classmethod
    def from_cli(cls, parser, *args):
        if not args:
            parser.error("Keeper needs a folder")
        options = dict(a.split("=", 1) for a in args[1:])
        return cls(
            args[0],
            refuse=options.get("refuse", "").split(","),
            auth=options.get("auth"),
            delay=float(options.get("delay", "0")),
            close_after=int(options.get("close_after", "0")),
        )

    @staticmethod
    def _connection(session):
        if not hasattr(session, "keeper_id"):
            session.keeper_id = f"{os.getpid()}-{next(_connections)}"
            session.keeper_messages = 0
        return session.keeper_id

    async def handle_AUTH(self, server, session, envelope, args):
        if self.auth is None:
            return MISSING
        mechanism = args[0].upper()
        if mechanism == "PLAIN":
            if len(args) > 1:
                data = base64.b64decode(args[1])
            else:
                data = await server.challenge_auth("", encode_to_b64=False)
                if data is MISSING:
                    return "501 5.7.0 Auth aborted"
            parts = data.split(b"\0")
            user, password = (parts[1], parts[2]) if len(parts) == 3 else (b"", b"")
        elif mechanism == "LOGIN":
            user = await server.challenge_auth("Username:")
            password = await server.challenge_auth("Password:")
            if user is MISSING or password is MISSING:
                return "501 5.7.0 Auth aborted"
        else:
            return "504 5.5.4 Unrecognized authentication type"
        if f"{user.decode()}:{password.decode()}" == self.auth:
            session.authenticated = True
            return "235 2.7.0 Authentication successful"
        return "535 5.7.8 Authentication credentials invalid"

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        self._connection(session)
        if self.auth is not None and not session.authenticated:
            return "530 5.7.0 Authentication required"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.refuse:
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        connection = self._connection(session)
        if self.delay:
            await asyncio.sleep(self.delay)
        if self.close_after and session.keeper_messages >= self.close_after:
            asyncio.get_event_loop().call_soon(server.transport.close)
            return "421 4.3.0 Closing the connection"
        session.keeper_messages += 1
        self._keep(connection, envelope)
        return "250 OK kept"

    def _keep(self, connection, envelope):
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        body_part = message.get_body(preferencelist=("html", "plain"))
        body = body_part.get_content() if body_part is not None else ""
        try:
            date_valid = email.utils.parsedate_to_datetime(message["Date"]) is not None
        except (TypeError, ValueError):
            date_valid = False
        fields = [
            ("connection", str(connection)),
            ("mail_from", envelope.mail_from),
            ("rcpt_to", ",".join(envelope.rcpt_tos)),
            # The raw header through the RFC 2047 decoder: the parsed address
            # keeps the blanks between encoded words of a display name.
            ("from", str(email.header.make_header(email.header.decode_header(
                email.message_from_bytes(envelope.original_content).get("From", ""))))),
            ("to", str(message["To"] or "")),
            ("subject", str(message["Subject"] or "")),
            ("message_id", str(message["Message-ID"] or "")),
            ("dnt", str(message["Disposition-Notification-To"] or "")),
            ("date_valid", "yes" if date_valid else "no"),
            ("content_type", message.get_content_type() if body_part is None else body_part.get_content_type()),
            ("charset", str(body_part.get_content_charset()) if body_part is not None else ""),
        ]
        text = "".join(f"{k}: {v}\n" for k, v in fields) + "\n" + body.replace("\r\n", "\n")
        self.kept += 1
        name = os.path.join(self.folder, f"{self.kept:06d}")
        with open(name + ".tmp", "w", encoding="utf-8") as out:
            out.write(text)
        with open(name + ".eml", "wb") as raw:
            raw.write(envelope.original_content)
        os.rename(name + ".tmp", name + ".txt")
