-- A table for orders by several keys (make_order_fixtures.sh): few distinct values per column, so
-- that rows tie on the first keys and the later ones decide; NULLs in every column; values equal
-- in other spellings (1.0 and 1.00, -0 and 0, one instant under two offsets); text that decodes
-- from COPY escapes; the infinities, NaN and dates before Christ.

\set ON_ERROR_STOP on
SET client_encoding = 'UTF8';
SET standard_conforming_strings = on;

CREATE TABLE o_keys (
    id integer GENERATED ALWAYS AS IDENTITY,
    grp text,
    n integer,
    amount numeric,
    at timestamp with time zone,
    flag boolean,
    d date,
    f double precision
);
INSERT INTO o_keys (grp, n, amount, at, flag, d, f)
SELECT
    CASE WHEN i % 11 = 0 THEN NULL
         ELSE (ARRAY['b', 'a', 'B', 'ab', '', E'a\tb', E'a\\b', 'é'])[1 + (i * 7) % 8] END,
    CASE WHEN i % 13 = 0 THEN NULL ELSE (i * 5) % 7 - 3 END,
    CASE WHEN i % 17 = 0 THEN NULL
         ELSE (ARRAY['1.0', '1.00', '1', '-0.5', '2', 'NaN', '-Infinity', '-0.50', '0'])
              [1 + (i * 5) % 9]::numeric END,
    CASE WHEN i % 19 = 0 THEN NULL
         ELSE (ARRAY['2024-01-01 00:00:00+00', '2024-01-01 01:00:00+01', 'infinity',
                     '2023-12-31 23:59:59.999999+00', '-infinity', '0044-03-15 10:00:00+00 BC'])
              [1 + (i * 11) % 6]::timestamptz END,
    CASE WHEN i % 3 = 0 THEN NULL ELSE i % 4 < 2 END,
    CASE WHEN i % 23 = 0 THEN NULL
         ELSE (ARRAY['2024-02-29', '0001-01-01 BC', '2024-02-29', 'infinity', '1999-12-31'])
              [1 + (i * 3) % 5]::date END,
    CASE WHEN i % 29 = 0 THEN NULL
         ELSE (ARRAY['-0', '0', 'NaN', '1.5', 'Infinity', '-1e-300', '0.1'])
              [1 + (i * 13) % 7]::double precision END
FROM generate_series(1, 160) AS i;
