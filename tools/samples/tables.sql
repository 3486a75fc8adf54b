-- The sample tables: realistic rows, plus the values that trip up dump readers.
-- Every value is fixed or computed without randomness, so each run dumps the same bytes.

\set ON_ERROR_STOP on
SET client_encoding = 'UTF8';
SET standard_conforming_strings = on;

-- Customers: names and notes in several scripts, NULLs beside empty strings, line breaks of both
-- kinds inside values, and strings that look like the COPY NULL marker or the grid's "null".
CREATE TABLE public.customers (
    id serial PRIMARY KEY,
    full_name text NOT NULL,
    email text,
    city text,
    country char(2),
    phone text,
    is_active boolean NOT NULL DEFAULT true,
    signed_up date,
    credit_limit numeric(12,2),
    notes text
);
COMMENT ON TABLE public.customers IS 'Customers of the web shop («B2C»)';
COMMENT ON COLUMN public.customers.notes IS 'Free text typed by the support team; may hold line breaks';
CREATE INDEX customers_email_idx ON public.customers (lower(email));

INSERT INTO public.customers (full_name, email, city, country, phone, is_active, signed_up, credit_limit, notes) VALUES
('Anna Kowalska', 'anna.kowalska@example.com', 'Kraków', 'PL', '+48 12 345 67 89', true, '2021-03-14', 5000.00, 'Prefers e-mail.'),
('Иван Петров', 'ivan.petrov@example.ru', 'Санкт-Петербург', 'RU', NULL, true, '2020-11-02', 12000, E'Звонить после 18:00.\nГоворит по-английски.'),
('Γιώργος Παπαδόπουλος', 'g.papadopoulos@example.gr', 'Θεσσαλονίκη', 'GR', '', false, '2019-07-30', 0, E'First line\r\nSecond line\r\n'),
('山田 太郎', 'taro.yamada@example.jp', '東京', 'JP', '+81 3-1234-5678', true, '2022-01-05', 250000.50, '配達は午前中にお願いします。'),
('محمد العلي', 'm.alali@example.sa', 'الرياض', 'SA', '+966 11 123 4567', true, '2023-06-18', 7500, 'يفضل التواصل عبر الهاتف'),
('Zoë O''Brien', 'zoe@example.ie', 'Dún Laoghaire', 'IE', '+353 1 234 5678', true, '2021-12-24', 1500, E'VIP 🌟\tgold tier'),
('', '', '', NULL, '', false, NULL, NULL, ''),
('Nameless', NULL, NULL, NULL, NULL, false, NULL, NULL, NULL),
('陈伟 🐉', 'chen.wei@example.cn', '上海', 'CN', '+86 21 5555 0000', true, '2024-02-10', 88000, E'Ref: INV\\2023\\0042'),
('Müller, Jürgen', 'j.mueller@example.de', 'München', 'DE', '+49 89 123456', true, '2018-05-01', 3000, E'Said "call me" and \'maybe\' tomorrow'),
('Backslash Tester', 'bs@example.com', NULL, 'US', NULL, true, '2022-08-08', 10, E'ends with a backslash\\'),
('Null Lookalike', 'nl@example.com', NULL, 'US', NULL, true, '2022-08-09', 10, E'\\N'),
('Null Word', 'nw@example.com', NULL, 'US', NULL, true, '2022-08-10', 10, 'null'),
('Letter N', 'n@example.com', NULL, 'US', NULL, true, '2022-08-11', 10, 'N'),
('Control Chars', 'cc@example.com', NULL, 'US', NULL, false, '2022-08-12', 10, E'page one\fpage two\x0bafter a vertical tab\bafter a backspace'),
('  Padded  ', 'padded@example.com', '  ', 'US', NULL, true, '2022-08-13', -42.5, E'trailing line feed\n'),
('Mixed Breaks', 'mb@example.com', NULL, 'GB', NULL, true, '2022-08-14', 99.99, E'unix\nwindows\r\nold mac\rend');

-- Order lines: a quoted schema-qualified table with mixed-case, blank-containing column names,
-- a few hundred generated rows, and sparse NULLs.
CREATE SCHEMA sales;
CREATE TABLE sales."Order Lines" (
    "Order Id" integer NOT NULL,
    "Line No" integer NOT NULL,
    "Product Code" text NOT NULL,
    "Description" text,
    "Unit Price" numeric(10,2) NOT NULL,
    "Qty" integer NOT NULL,
    "Discount %" numeric(5,2),
    "Shipped At" timestamp without time zone,
    "Comment" text,
    PRIMARY KEY ("Order Id", "Line No")
);
COMMENT ON TABLE sales."Order Lines" IS 'One line per product on an order';

INSERT INTO sales."Order Lines"
SELECT 1000 + (n - 1) / 4,
       (n - 1) % 4 + 1,
       format('SKU-%s-%s', chr(65 + n % 26), lpad((n * 37 % 1000)::text, 3, '0')),
       (ARRAY['Widget, large', 'Gadget "Pro"', 'Кабель USB-C 2 м', 'Ελαιόλαδο 1L',
              'ケーブル 3m', 'Screws M4\x25 (100 pcs)', 'Café crème ☕', E'Tab\tseparated'])[n % 8 + 1],
       round((n * 7.31) % 500 + 0.99, 2),
       n % 9 + 1,
       CASE WHEN n % 5 = 0 THEN (n % 30)::numeric END,
       CASE WHEN n % 7 <> 0 THEN timestamp '2024-01-01 08:00' + make_interval(hours => n * 13) END,
       CASE
           WHEN n % 50 = 0 THEN E'Customer asked:\n"Deliver to back door"'
           WHEN n % 61 = 0 THEN E'Gift wrap\r\nCard: "Happy birthday!" 🎂'
           WHEN n % 23 = 0 THEN ''
       END
FROM generate_series(1, 300) AS n;

-- Windows paths: every backslash is data, including ones that precede the letters of the COPY
-- escapes (\n, \t, \r, \N), which a decoder must not take for line breaks or NULL.
CREATE TABLE public.file_paths (
    id integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    path text,
    kind text NOT NULL,
    size_bytes bigint,
    modified timestamp with time zone,
    attributes text[]
);

INSERT INTO public.file_paths (path, kind, size_bytes, modified, attributes) VALUES
('C:\Users\Иван\Documents\отчёт 2023.xlsx', 'file', 48213, '2023-12-31 23:59:59+03', '{archive}'),
('C:\Program Files (x86)\Tavrin\plugins\', 'directory', NULL, '2024-01-15 09:30:00+00', '{system,"read only"}'),
('\\fileserver\share\Q3\budget.xlsx', 'file', 1048576, '2024-03-01 12:00:00+01', '{}'),
('D:\new\table\readme.txt', 'file', 0, '2020-02-29 00:00:00+00', NULL),
('C:\temp\N', 'file', 9223372036854775807, NULL, '{hidden}'),
('C:\Users\山田\デスクトップ\写真 📷.jpg', 'file', 3145728, '2022-07-07 07:07:07.123456+09', '{"C:\\x","with \"quote\""}'),
('/home/user/file with spaces.txt', 'file', 12, '2021-01-01 00:00:00+00', '{NULL,""}'),
(NULL, 'unknown', -1, NULL, NULL),
('\', 'root', NULL, NULL, NULL),
('C:\r\n', 'file', 2, NULL, NULL);

-- Column names that break naive parsing of the COPY header: a comma followed by a blank, a
-- closing parenthesis, mixed case, a reserved word, non-ASCII letters and an embedded quote.
CREATE TABLE public.odd_columns (
    id integer PRIMARY KEY,
    "Mixed Case" text,
    "x, y" text,
    "select" integer,
    "ünïcode" text,
    "quote""inside" text,
    "a)b" text
);

INSERT INTO public.odd_columns VALUES
(1, 'Upper and lower', '12.5, 7', 1, 'äöü', 'say "hi"', 'a)b'),
(2, '', '(3, 4)', NULL, 'ñ', '''single''', ')'),
(3, NULL, NULL, 0, NULL, NULL, NULL),
(4, 'Ελληνικά', '-1, -1', -2147483648, 'ü', '"', '(a)');

-- A wide table: one row per weather station reading with 40 columns of many types.
CREATE TABLE public.wide_metrics (
    id integer PRIMARY KEY,
    station text NOT NULL,
    recorded_at timestamp with time zone NOT NULL,
    t00 real, t01 real, t02 real, t03 real, t04 real, t05 real,
    t06 real, t07 real, t08 real, t09 real, t10 real, t11 real,
    t12 real, t13 real, t14 real, t15 real, t16 real, t17 real,
    t18 real, t19 real, t20 real, t21 real, t22 real, t23 real,
    dew_point real,
    humidity_pct smallint,
    pressure_hpa numeric(6,1),
    wind_kmh double precision,
    wind_dir text,
    rain_mm numeric(5,1),
    visible boolean,
    duration interval,
    station_uuid uuid,
    raw_packet bytea,
    extra jsonb,
    tags text[],
    remark text
);

INSERT INTO public.wide_metrics
SELECT n,
       (ARRAY['Oslo Blindern', 'Reykjavík', 'Αθήνα', 'Москва ВДНХ', '札幌'])[n % 5 + 1],
       timestamptz '2024-02-01 00:00:00+00' + make_interval(days => n),
       round((n % 11 - 5 + 0.0)::numeric / 2, 1)::real, round((n % 13 - 6)::numeric / 3, 1)::real,
       round((n % 7 - 3)::numeric * 1.5, 1)::real, round((n % 5 - 2)::numeric * 2.5, 1)::real,
       round((n % 9)::numeric / 4, 1)::real, round((n % 3)::numeric * 0.1, 1)::real,
       (n % 17 - 8)::real, (n % 19 - 9)::real, (n % 23 - 11)::real, (n % 29 - 14)::real,
       (n % 31 - 15)::real, (n % 37 - 18)::real, (n % 41 - 20)::real, (n % 43 - 21)::real,
       (n % 47 - 23)::real, (n % 53 - 26)::real, (n % 59 - 29)::real, (n % 61 - 30)::real,
       (n % 67 - 33)::real, (n % 71 - 35)::real, (n % 73 - 36)::real, (n % 79 - 39)::real,
       (n % 83 - 41)::real / 2, (n % 89 - 44)::real / 8,
       CASE WHEN n % 6 = 0 THEN NULL ELSE -(n % 4)::real / 4 END,
       (40 + n * 7 % 60)::smallint,
       990 + (n * 3 % 400)::numeric / 10,
       (n * 1.25)::double precision,
       (ARRAY['N', 'NE', 'E', 'SE', 'S', 'SW', 'W', 'NW'])[n % 8 + 1],
       CASE WHEN n % 3 = 0 THEN 0.0 ELSE n % 4 * 0.7 END,
       n % 2 = 0,
       make_interval(mins => n * 15),
       md5('station' || n)::uuid,
       decode(lpad(to_hex(n * 4099), 6, '0') || '00ff0a5c', 'hex'),
       jsonb_build_object('n', n, 'path', 'C:\data\' || n, 'ok', n % 2 = 0),
       ARRAY['auto', 'q' || (n % 3)],
       CASE WHEN n % 4 = 0 THEN 'checked' END
FROM generate_series(1, 24) AS n;

-- One reading with the floating-point values whose text forms are the awkward ones.
INSERT INTO public.wide_metrics (id, station, recorded_at, t00, t01, t02, t03, t04, t05, wind_kmh, remark)
VALUES (25, 'Edge cases', '1970-01-01 00:00:00+00', 'NaN', 'Infinity', '-Infinity', '-0', 1e-7,
        3.4028235e38, 1.7976931348623157e308, E'floats\tat their limits');

-- An empty table: the dump holds only its COPY header and terminator.
CREATE TABLE public.audit_log (
    id bigint GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,
    happened_at timestamp with time zone NOT NULL DEFAULT now(),
    actor text NOT NULL,
    action text NOT NULL,
    details jsonb
);

-- Translations: long multi-line bodies in many scripts, emoji sequences that join several code
-- points, combining marks and right-to-left text.
CREATE TABLE public.translations (
    id integer PRIMARY KEY,
    locale text NOT NULL,
    title text NOT NULL,
    body text
);

INSERT INTO public.translations VALUES
(1, 'en-GB', 'Welcome', E'Welcome to our shop!\nFree delivery on orders over £50.\n\nRegards,\nThe Team'),
(2, 'ru-RU', 'Добро пожаловать', E'Добро пожаловать в наш магазин!\r\nБесплатная доставка от 5000 ₽.\r\n\r\nС уважением,\r\nКоманда'),
(3, 'el-GR', 'Καλώς ήρθατε', E'Καλώς ήρθατε στο κατάστημά μας!\nΔωρεάν αποστολή για παραγγελίες άνω των 50 €.'),
(4, 'ja-JP', 'ようこそ', E'当店へようこそ！\n5000円以上のご注文で送料無料。'),
(5, 'zh-CN', '欢迎', E'欢迎光临本店！\n订单满 300 元免运费。'),
(6, 'ar-SA', 'مرحبا', E'مرحبا بكم في متجرنا!\nتوصيل مجاني للطلبات فوق 200 ﷼.'),
(7, 'he-IL', 'ברוכים הבאים', E'\u200Fברוכים הבאים לחנות שלנו!'),
(8, 'emoji', '👋🏽 Hi', E'Family: 👨‍👩‍👧‍👦\tFlag: 🇺🇦\tKeycap: 1️⃣'),
(9, 'combining', 'Café', E'Cafe\u0301 vs Café: one is e + U+0301'),
(10, 'long', 'Terms and conditions', repeat(E'§ Lorem ipsum dolor sit amet, consectetur adipiscing elit.\r\n', 150)),
(11, 'empty', '', ''),
(12, 'missing', 'No body', NULL);
