-- The demo's notices, loaded after kobaltix5_retry.sql and
-- kobaltix5_outcome.sql with the same db: people, letter templates (one of
-- them HTML) and 38 due notices from all three sources, one of them to an
-- address that is not one. Every letter names its notice ("Номер
-- уведомления"), so that a received letter can be matched to its notice.

\connect :db

SET client_encoding = 'UTF8';
SET client_min_messages = warning;

BEGIN;
SET ROLE kobaltix5;
SET search_path = :"db";

DELETE FROM qx_mngr_notification_state;
DELETE FROM qx_mngr_notification;
DELETE FROM qx_managers;
DELETE FROM qx_notice_emitent;
DELETE FROM ecfil083;
DELETE FROM ecfil025;
DELETE FROM qx_letter_templates;
DELETE FROM notice_outcome;

INSERT INTO qx_letter_templates VALUES
  (0, 0, 'Уведомление',
   'Уважаемый(ая) {NAME}!' || E'\r\n\r\n' || 'Уведомление от {DATE}: {TEXT}' || E'\r\n\r\n' ||
   'Номер уведомления: {GUID}' || E'\r\n' || 'С уважением, служба уведомлений.'),
  (0, 5, 'Выписка по счёту',
   'Уважаемый(ая) {NAME}!' || E'\r\n\r\n' || 'Выписка по Вашему счёту на {DATE} готова. {TEXT}' ||
   E'\r\n\r\n' || 'Номер уведомления: {GUID}' || E'\r\n' || 'С уважением, служба уведомлений.'),
  (0, 9, 'Ежемесячный отчёт',
   '<html><body><h2>Ежемесячный отчёт</h2><p>Уважаемый(ая) <b>{NAME}</b>!</p><p>{TEXT}</p>' ||
   '<p><small>Номер уведомления: {GUID}</small></p></body></html>'),
  (1, 0, 'Уведомление эмитенту',
   'Эмитенту {NAME}.' || E'\r\n\r\n' || 'Уведомление от {DATE}: {TEXT}' || E'\r\n' ||
   'Номер уведомления: {GUID}'),
  (2, 0, 'Клиент: уведомление',
   'По клиенту {NAME} от {DATE}: {TEXT}' || E'\r\n' || 'Номер уведомления: {GUID}');

INSERT INTO ecfil025 VALUES
  (1001, 'Иванов Иван Иванович', 'ivanov@client.example', 1),
  (1002, 'Петрова Анна Сергеевна', 'petrova@client.example', 1),
  (1003, 'Орлова Екатерина Андреевна', 'orlova@client.example', 1),
  (1004, 'John Smith', 'j.smith@client.example', 1),
  (1005, 'Ким Денис Олегович', 'kim@client.example', 1),
  (2001, 'Сидоров Пётр Алексеевич', 'sidorov@orvanta.example', 1),
  (2002, 'Кузнецова Мария Ивановна', 'kuznetsova@orvanta.example', 1);

-- Clients' notices: statements (type 5) and plain notices (type 7).
INSERT INTO ecfil083
  (trn_guid, id_prinadl, id_klienta, notice_type, notice_email, notice_date, notice_text)
SELECT 'CLIENT-' || lpad(i::text, 4, '0'), 1, p.id_cheloveka, CASE WHEN i % 2 = 1 THEN 5 ELSE 7 END,
       p.e_mail, timestamp '2024-03-01 09:00' + i * interval '1 hour',
       CASE WHEN i % 2 = 1 THEN 'Остаток: ' || (i * 1250) || ',00 руб.'
            ELSE 'Поручение № ' || (100 + i) || ' исполнено.' END
  FROM generate_series(1, 24) i
  JOIN ecfil025 p ON p.id_cheloveka = 1001 + (i - 1) % 5;
INSERT INTO ecfil083
  (trn_guid, id_prinadl, id_klienta, notice_type, notice_email, notice_date, notice_text) VALUES
  ('CLIENT-HTML', 1, 1003, 9, 'orlova@client.example', '2024-03-31 18:00',
   'Доходность портфеля за март: +2,4 %.'),
  ('CLIENT-BAD-ADDRESS', 1, 1002, 7, 'petrova.client.example', '2024-03-02 10:00',
   'Изменились тарифы обслуживания.');

INSERT INTO qx_notice_emitent
  (trn_guid, emitent_id, emitent_name, notice_type, notice_email, notice_date, notice_text)
SELECT 'ISSUER-' || lpad(i::text, 4, '0'), 500 + (i - 1) % 4 + 1,
       (ARRAY['АО «Северный металл»', 'ПАО «Речной флот»', 'ООО «Южная энергия»', 'АО «Горный лён»'])[(i - 1) % 4 + 1],
       3, 'ir' || ((i - 1) % 4 + 1) || '@issuer.example', timestamp '2024-03-04 10:00' + i * interval '1 day',
       'Реестр владельцев ценных бумаг сформирован (запрос № ' || (700 + i) || ').'
  FROM generate_series(1, 8) i;

-- Client 1001 has two managers and client 1002 one: each notification is
-- one letter, to the first manager.
INSERT INTO qx_managers VALUES (2001, 1001, 1, 1), (2002, 1001, 1, 1), (2001, 1002, 1, 1);
INSERT INTO qx_mngr_notification VALUES
  ('MANAGER-0001', 1001, 1, 11, '2024-03-05 09:00', 'Клиент подал заявку на смену тарифа.'),
  ('MANAGER-0002', 1001, 1, 12, '2024-03-06 09:00', 'Клиент открыл брокерский счёт.'),
  ('MANAGER-0003', 1002, 1, 11, '2024-03-07 09:00', 'Клиент подал заявку на вывод средств.'),
  ('MANAGER-0004', 1002, 1, 13, '2024-03-08 09:00', 'Истекает срок действия доверенности.');

COMMIT;
