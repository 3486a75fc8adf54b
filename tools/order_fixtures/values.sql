-- Tricky values for each type the viewer sorts, one table per fixture: o_<fixture> (id, v). The
-- rows go in as listed, so a value's id is its place in the list; a value listed twice (or two
-- texts of one value, like 1.0 and 1.00) is a tie that must keep file order in both directions.

\set ON_ERROR_STOP on
SET client_encoding = 'UTF8';
SET standard_conforming_strings = on;

CREATE TABLE o_smallint (id integer GENERATED ALWAYS AS IDENTITY, v smallint);
INSERT INTO o_smallint (v) VALUES
    (0), (-32768), (32767), (NULL), (10), (9), (-1), (1), (-10), (-9), (0), (32767), (NULL),
    (-32768), (100);

CREATE TABLE o_integer (id integer GENERATED ALWAYS AS IDENTITY, v integer);
INSERT INTO o_integer (v) VALUES
    (42), (2147483647), (-2147483648), (NULL), (10), (9), (100), (-9), (-10), (-100), (0),
    (42), (-0), (NULL), (2147483647), (1000000000), (-2147483647);

CREATE TABLE o_bigint (id integer GENERATED ALWAYS AS IDENTITY, v bigint);
INSERT INTO o_bigint (v) VALUES
    (9223372036854775807), (-9223372036854775808), (0), (NULL), (9), (10), (-9), (-10),
    (4294967296), (4294967295), (-4294967296), (9223372036854775806), (-9223372036854775807),
    (9223372036854775807), (0), (NULL), (1);

-- Exact decimals: trailing zeros (equal values, different texts), values that differ only in
-- the 30th and later digits, the special values, and magnitudes far beyond a double's digits.
CREATE TABLE o_numeric (id integer GENERATED ALWAYS AS IDENTITY, v numeric);
INSERT INTO o_numeric (v) VALUES
    ('1.0'), ('1.00'), ('1'), ('NaN'), ('Infinity'), ('-Infinity'), (NULL), ('0'), ('-0'),
    ('0.000'), ('0.1'), ('-0.1'), ('-1.5'), ('-1.55'), ('-1.5000'), ('10'), ('9.99'),
    ('1.00000000000000000000000000001'), ('1.00000000000000000000000000002'),
    ('1.000000000000000000000000000010'),
    ('123456789012345678901234567890.1'), ('123456789012345678901234567890.2'),
    ('123456789012345678901234567891'), ('-123456789012345678901234567890.1'),
    ('-123456789012345678901234567890.2'), ('0.00000000000000000000000000000000000001'),
    ('-0.00000000000000000000000000000000000001'), ('1e40'), ('-1e40'), ('99999999999999999999'),
    ('100000000000000000000'), ('3.14159265358979323846264338327950288419716939937510'),
    ('3.1415926535897932384626433832795028841971693993751'),
    ('3.14159265358979323846264338327950288419716939937511'), ('NaN'), ('Infinity'),
    ('-Infinity'), (NULL), ('12345.67'), ('12345.670'), ('-0.001'), ('-0.0010'), ('0.01'),
    ('100'), ('1e-5'), ('-99999999999999999999'), ('-100000000000000000000');

-- Floats: NaN above everything, -0 equal to 0, the extremes, subnormals and values a double
-- cannot tell apart (their texts are the same).
CREATE TABLE o_real (id integer GENERATED ALWAYS AS IDENTITY, v real);
INSERT INTO o_real (v) VALUES
    ('NaN'), ('Infinity'), ('-Infinity'), ('-0'), ('0'), (NULL), ('1.17549435e-38'), ('1e-45'),
    ('-1e-45'), ('3.4028235e+38'), ('-3.4028235e+38'), ('0.1'), ('-0.1'), ('1'), ('1.0000001'),
    ('16777216'), ('16777217'), ('1e10'), ('9.999999e9'), ('NaN'), ('-0'), ('100'), ('99.5'),
    (NULL), ('-Infinity');

CREATE TABLE o_double (id integer GENERATED ALWAYS AS IDENTITY, v double precision);
INSERT INTO o_double (v) VALUES
    ('NaN'), ('Infinity'), ('-Infinity'), ('-0'), ('0'), (NULL), ('5e-324'), ('-5e-324'),
    ('2.2250738585072014e-308'), ('1.7976931348623157e+308'), ('-1.7976931348623157e+308'),
    ('0.1'), ('0.30000000000000004'), ('0.3'), ('1e100'), ('1e+100'), ('-1e-100'), ('1e-100'),
    ('123456789012345680000'), ('1.2345678901234568e+20'), ('9007199254740993'),
    ('9007199254740992'), ('10'), ('9.5'), ('-2.5'), ('-2.50'), ('NaN'), (NULL), ('Infinity'),
    ('0.1000000000000000055511151231257827');

CREATE TABLE o_boolean (id integer GENERATED ALWAYS AS IDENTITY, v boolean);
INSERT INTO o_boolean (v) VALUES
    (true), (false), (NULL), (false), (true), (true), (NULL), (false);

-- Dates before Christ (year 0 is 1 BC, a leap year), past year 9999, and the infinities.
CREATE TABLE o_date (id integer GENERATED ALWAYS AS IDENTITY, v date);
INSERT INTO o_date (v) VALUES
    ('2024-01-01'), ('2023-12-31'), ('0044-03-15 BC'), ('0001-01-01'), ('0001-12-31 BC'),
    ('0001-01-01 BC'), ('0002-12-31 BC'), ('4714-11-24 BC'), ('5874897-12-31'), ('10000-01-01'),
    ('9999-12-31'), ('infinity'), ('-infinity'), (NULL), ('2000-02-29'), ('2000-03-01'),
    ('1900-02-28'), ('1900-03-01'), ('0005-02-29 BC'), ('0005-03-01 BC'), ('0001-02-29 BC'), ('2024-01-01'),
    ('infinity'), (NULL), ('1999-12-31'), ('12345-06-07'), ('100000-01-01');

CREATE TABLE o_time (id integer GENERATED ALWAYS AS IDENTITY, v time);
INSERT INTO o_time (v) VALUES
    ('12:00:00'), ('00:00:00'), ('24:00:00'), ('23:59:59.999999'), (NULL), ('12:00:00.5'),
    ('12:00:00.000001'), ('00:00:00.000001'), ('12:00:00'), ('09:59:59'), ('10:00:00'),
    ('12:00:00.50'), (NULL), ('24:00:00');

-- Time with zone: the same instant in two zones is two different values, ordered by the zone;
-- offsets with minutes and with seconds.
CREATE TABLE o_timetz (id integer GENERATED ALWAYS AS IDENTITY, v time with time zone);
INSERT INTO o_timetz (v) VALUES
    ('12:00:00+00'), ('13:00:00+01'), ('11:00:00-01'), ('12:00:00+05:30'), ('06:30:00+00'),
    ('17:30:00+05:30'), ('00:00:00+14'), ('24:00:00-12'), ('00:00:00.000001+00:53:28'),
    ('12:00:00+00:53:28'), ('11:06:32+00'), (NULL), ('12:00:00+00'), ('23:59:59.999999-15:59'),
    ('00:00:00+15:59'), ('10:00:00-02'), ('13:00:00.5+01'), ('12:00:00.5+00'), (NULL),
    ('00:00:00+00'), ('24:00:00+00'), ('12:00:00-00:00:01');

CREATE TABLE o_timestamp (id integer GENERATED ALWAYS AS IDENTITY, v timestamp);
INSERT INTO o_timestamp (v) VALUES
    ('2024-01-01 21:00:00.123456'), ('2024-01-01 21:00:00.123455'), ('2024-01-01 21:00:00'),
    ('0044-03-15 10:00:00 BC'), ('0044-03-15 10:00:00'), ('294276-12-31 23:59:59.999999'),
    ('4714-11-24 00:00:00 BC'), ('10000-01-01 00:00:00'), ('9999-12-31 23:59:59.999999'),
    ('infinity'), ('-infinity'), ('1999-12-31 23:59:59.999999'), ('2000-01-01 00:00:00'),
    (NULL), ('2024-01-01 21:00:00.1234560'), ('0001-01-01 00:00:00'),
    ('0001-12-31 23:59:59.999999 BC'), ('1970-01-01 00:00:00'), ('1969-12-31 23:59:59.5'),
    ('-infinity'), (NULL), ('2024-02-29 12:00:00');

-- Instants written in three zones (make_order_fixtures.sh sets the zone by id): Amsterdam's
-- historic offsets with seconds (+00:19:32) and its summer time switches, Kolkata's +05:53:28
-- and +05:30, Los Angeles's -08 and -07. Equal instants appear under different offsets.
CREATE TABLE o_timestamptz (id integer GENERATED ALWAYS AS IDENTITY, v timestamptz);
INSERT INTO o_timestamptz (v) VALUES
    ('2024-03-31 00:59:59+00'), ('2024-03-31 01:00:00+00'), ('2024-03-31 01:00:00+00'),
    ('2024-10-27 00:30:00+00'), ('2024-10-27 01:30:00+00'), ('2024-10-27 00:30:00+00'),
    ('1900-01-01 00:00:00+00'), ('1900-01-01 00:00:00+00'), ('1900-01-01 00:00:00+00'),
    ('1930-06-01 12:00:00+00'), ('1938-01-01 12:00:00+00'), ('1942-06-01 12:00:00+00'),
    ('infinity'), ('-infinity'), (NULL), ('0044-03-15 10:00:00+00 BC'),
    ('0044-03-15 10:00:00+00 BC'), ('10000-01-01 00:00:00+00'), ('2024-01-01 00:00:00.000001+00'),
    ('2024-01-01 00:00:00+00'), ('2023-12-31 23:59:59.999999+00'), ('1970-01-01 00:00:00+00'),
    ('1969-12-31 23:59:59.5+00'), ('2000-01-01 00:00:00+00'), ('1999-12-31 19:00:00-05'),
    ('2000-01-01 05:30:00+05:30'), (NULL), ('1890-06-01 12:00:00+00'), ('1890-06-01 11:40:28+00'),
    ('1890-06-01 12:19:32+00'), ('294276-12-31 23:59:59+00'), ('4713-11-24 00:00:00+00 BC');

-- Text in byte order (the database's collation is C): COPY escapes decode to bytes that sort
-- apart from their escaped form, a literal backslash before a letter, empty beside NULL, the
-- NULL marker's letters as data, multibyte characters, and long shared prefixes.
CREATE TABLE o_text (id integer GENERATED ALWAYS AS IDENTITY, v text);
INSERT INTO o_text (v) VALUES
    ('abc'), (''), (NULL), ('a'), ('A'), ('a b'), (E'a\tb'), (E'a\\tb'), (E'a\nb'), (E'a\\nb'),
    (E'\\'), (E'\\\\'), ('abcd'), ('ab'), (E'ab\x01'), ('é'), ('z'), ('ß'), ('日本'), ('🙂'), ('Z'),
    (E'\\N'), ('N'), ('null'), (''), (repeat('x', 30) || 'b'), (repeat('x', 30) || 'a'),
    (repeat('x', 30)), (repeat('y', 100)), (repeat('y', 100)), (repeat('y', 99) || 'z'),
    (E'x\ry'), (E'\x7f'), (E'\b'), (E'\f'), (E'\v'), (E'a\\'), (E'a\\b'), ('a{'), (E'a\x1f'),
    ('abc'), (NULL), (E'\t'), (' '), (E'\\t'), (E'ab\tc'), (E'ab\\c'), ('ab c'),
    (repeat('é', 20)), (repeat('é', 19) || 'è'), (E'\u00ff'), (E'\u0100'), (E'\U0001F600'),
    (E'\uFFFD'), ('{}');

CREATE TABLE o_varchar (id integer GENERATED ALWAYS AS IDENTITY, v character varying(20));
INSERT INTO o_varchar (v) VALUES
    ('b'), ('a'), (''), (NULL), ('B'), (E'a\\'), (E'a\tz'), ('a z'), ('aa'), ('a'), ('Ä'), ('~');

-- Blank-padded character: the padding is part of the text the server writes.
CREATE TABLE o_char (id integer GENERATED ALWAYS AS IDENTITY, v character(4));
INSERT INTO o_char (v) VALUES
    ('b'), ('a'), ('ab'), (NULL), ('a b'), (' a'), ('é'), ('éa'), ('a'), ('abcd'), ('A'), ('');

CREATE TABLE o_name (id integer GENERATED ALWAYS AS IDENTITY, v name);
INSERT INTO o_name (v) VALUES
    ('postgres'), ('Postgres'), ('_x'), (''), (NULL), ('pg_catalog'), ('postgres'), (E'a\\b');

-- UUIDs: the server writes lower-case hex, whose byte order is the value's order.
CREATE TABLE o_uuid (id integer GENERATED ALWAYS AS IDENTITY, v uuid);
INSERT INTO o_uuid (v) VALUES
    ('a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11'), ('00000000-0000-0000-0000-000000000000'),
    ('FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF'), (NULL), ('a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a12'),
    ('0a0eebc9-99c0-b4ef-8bb6-d6bb9bd380a1'), ('9fffffff-ffff-ffff-ffff-ffffffffffff'),
    ('A0EEBC99-9C0B-4EF8-BB6D-6BB9BD380A11');

-- bytea in hex: byte order of the hex text is the order of the bytes.
CREATE TABLE o_bytea (id integer GENERATED ALWAYS AS IDENTITY, v bytea);
INSERT INTO o_bytea (v) VALUES
    ('\x'), ('\x00'), ('\x0001'), ('\x01'), ('\xff'), ('\x7f80'), (NULL), ('\x0a'), ('\x09'),
    ('\x5c'), ('\x00');

-- Types the viewer sorts by their text (fixtures order them by v::text): arrays and JSON, whose
-- texts hold quotes and backslashes that COPY doubles.
CREATE TABLE o_integer_array (id integer GENERATED ALWAYS AS IDENTITY, v integer[]);
INSERT INTO o_integer_array (v) VALUES
    ('{1,2}'), ('{10}'), ('{9}'), ('{}'), ('{NULL}'), ('{-1}'), (NULL), ('{{1,2},{3,4}}'),
    ('{1,2}');

CREATE TABLE o_text_array (id integer GENERATED ALWAYS AS IDENTITY, v text[]);
INSERT INTO o_text_array (v) VALUES
    (ARRAY['a b', E'c\\d']), (ARRAY['a']), (ARRAY[E'\\']), (ARRAY[E'tab\there']), (ARRAY['']),
    (NULL), (ARRAY[NULL]::text[]), (ARRAY['"q"']), (ARRAY['a']);

CREATE TABLE o_json (id integer GENERATED ALWAYS AS IDENTITY, v json);
INSERT INTO o_json (v) VALUES
    ('{"a":1}'), ('[1,2]'), ('"x\ty"'), ('{"b": "\\"}'), ('null'), ('1'), ('"é"'), (NULL),
    ('{"a":1}'), ('{ "a":1}'), ('"\u00e9"'), ('true');

CREATE TABLE o_jsonb (id integer GENERATED ALWAYS AS IDENTITY, v jsonb);
INSERT INTO o_jsonb (v) VALUES
    ('{"a":1}'), ('[1,2]'), ('"x\ty"'), ('{"b": "\\"}'), ('null'), ('1'), ('"é"'), (NULL),
    ('{"a":1}'), ('{"a": 1, "b": [true, null]}'), ('"\u00e9"'), ('10'), ('9');
