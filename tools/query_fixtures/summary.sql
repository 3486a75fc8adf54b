-- Columns the summary fixtures need beyond the order fixtures' tables (values.sql): one of NULLs
-- only, one without rows, numerics whose sum and average run to many digits and scales, and
-- integers whose sum passes 64 bits.

\set ON_ERROR_STOP on

CREATE TABLE o_only_nulls (id integer GENERATED ALWAYS AS IDENTITY, v numeric);
INSERT INTO o_only_nulls (v) VALUES (NULL), (NULL), (NULL);

CREATE TABLE o_no_rows (id integer GENERATED ALWAYS AS IDENTITY, v text);

CREATE TABLE o_wide_numeric (id integer GENERATED ALWAYS AS IDENTITY, v numeric);
INSERT INTO o_wide_numeric (v) VALUES
    ('123456789012345678901234567890.123456789'), ('-0.000000000000000000000000000001'),
    ('99999999999999999999999999999999999999'), ('0.5'), ('-7'), ('1.10'), ('1.1'), ('3'),
    ('0.0001'), ('-123456789012345678901234567890.123456788'), ('12.345'), (NULL), ('1.1');

CREATE TABLE o_big_sum (id integer GENERATED ALWAYS AS IDENTITY, v bigint);
INSERT INTO o_big_sum (v)
SELECT CASE WHEN i % 5 = 0 THEN -9223372036854775808 ELSE 9223372036854775807 - i END
FROM generate_series(1, 40) AS i;

CREATE TABLE o_small_numbers (id integer GENERATED ALWAYS AS IDENTITY, v numeric);
INSERT INTO o_small_numbers (v) VALUES ('0.001'), ('0.002'), ('0.0004'), ('-0.00005'), ('0.001');
