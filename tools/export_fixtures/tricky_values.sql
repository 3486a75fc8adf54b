-- One table of the values that trip up a copy in another format: quotes of both kinds,
-- backslashes, tabs, line breaks of every kind, empty strings beside NULLs, blanks at either end,
-- commas, NaN and the infinities, numbers at the edges of their types, booleans, arrays, json
-- and jsonb, control characters and multibyte UTF-8, what a Markdown reader would trim from a
-- cell's edges or read as markup (blanks, tabs, no-break spaces, emphasis, code, links, entities),
-- under a table name and column names that need quoting. Every value is fixed, so each run dumps
-- the same bytes.

\set ON_ERROR_STOP on
SET client_encoding = 'UTF8';
SET standard_conforming_strings = on;

CREATE TABLE public."tricky ""values""" (
    id integer PRIMARY KEY,
    "Full Name" text,
    note text,
    amount numeric,
    ratio double precision,
    small real,
    big bigint,
    flag boolean,
    tags text[],
    doc json,
    docb jsonb,
    "say ""hi""" text,
    "a, b" character varying(40),
    at timestamp with time zone
);

INSERT INTO public."tricky ""values""" VALUES
(1, 'Anna Kowalska', 'plain words', 12.50, 0.1, 1.5, 42, true, '{a,b}',
    '{"a": 1, "b": [1, 2, 3]}', '{"a": 1, "b": [1, 2, 3]}', 'hi', 'a, b', '2024-01-02 03:04:05.123456+00'),
(2, 'Zoë O''Brien', E'He said "hi", then \'bye\'', -0.000001, -1.5e-10, -0, -9223372036854775808,
    false, '{"b c","d\"e",NULL,"NULL"}', '  [ ]  ', '[]', '"quoted"', ',', '-infinity'),
(3, '', '', 0, '-0', '-0', 0, NULL, '{}', '{}', '{}', '', '', 'infinity'),
(4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),
(5, '  padded  ', ' ', 'NaN', 'NaN', 'NaN', 9223372036854775807, true, '{"  x  "}',
    'null', 'null', ' leading', 'trailing ', '1999-12-31 23:59:59+00'),
(6, 'Tab	Inside', E'line one\nline two', 'Infinity', 'Infinity', 'Infinity', 1, true,
    '{"line\nbreak"}', E'{"k":\n  "v\\n"}', E'{"k": "v\\n"}', E'cr\ronly', E'crlf\r\nend', NULL),
(7, E'back\\slash', E'C:\\path\\to\\file', '-Infinity', '-Infinity', '-Infinity', -1, false,
    '{"back\\\\slash"}', '"\u00e9\ud83d\ude00"', '"\u00e9\ud83d\ude00"', E'\\N', E'\\.', NULL),
(8, '日本語 🐉 Ελληνικά', E'combining e\u0301 and \u2028 separator', 123456789012345678901234567890.123456789,
    1.7976931348623157e308, 3.4028235e38, 2, NULL, '{日本,🐉}', '{"ключ": "значение", "emoji": "🐉"}',
    '{"ключ": "значение", "emoji": "🐉"}', 'ünïcödé', 'wide 🐉', NULL),
(9, E'controls \b \f \x0b \x01 \x1f end', E'first\n\\q second line starts with a backslash command',
    5e-324::float8::numeric, 5e-324, 1.4e-45, 3, true, '{1,2}', '1.5e+300', '1.5e+300',
    'null', 'NULL', NULL),
(10, 'semi; colon $$ dollar :var colon', E'--not a comment\n/* nor this */', 1e20, 1e20, 1e20, 4,
    false, '{}', E'[{"deep": [[[{"x": null}]]]}, true, false, -0.0, 1E5]',
    E'[{"deep": [[[{"x": null}]]]}, true, false, -0.0, 1E5]', E'trailing backslash \\', E'\t', NULL),
(11, E'mixed\nlf\r\ncrlf\rcr', E'\n', 0.00, 1e-5, 1e-5, 5, true, '{""}', E'"tab\\tescape"',
    E'"tab\\tescape"', 'null', E'\\', NULL),
(12, E'\t tab and blank \t', E'*stars* _under_ snake_case __dunder__ `code` ~tilde~ [link](x) ![i][r] [1, 2]',
    -0.5, 2.5, 0.25, 6, false, '{" edge "}', '[" x "]', '[" x "]', E'&amp; &#32; &#x41; A&B; & alone',
    E'\u00a0nbsp\u3000', NULL);
