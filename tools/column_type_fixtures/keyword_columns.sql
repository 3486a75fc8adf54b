-- A table whose columns are named by the words that begin a table constraint or follow a column's
-- type in CREATE TABLE (the unreserved ones stand unquoted in pg_dump's text, the reserved ones
-- quoted), and whose domain and enum types are named by the same words, so that pg_dump writes
-- them as public.<word> after a column's name; with the table constraints pg_dump keeps inside
-- the statement and those it adds after it.

\set ON_ERROR_STOP on

CREATE DOMAIN public.storage AS integer;
CREATE DOMAIN public.generated AS numeric(5,1);
CREATE DOMAIN public.options AS text;
CREATE DOMAIN public.compression AS date;
CREATE TYPE public.exclude AS ENUM ('a', 'b');

CREATE TABLE public.keyword_columns (
    exclude integer,
    "check" numeric(6,2),
    "constraint" boolean,
    "unique" date,
    "primary" bigint,
    "foreign" double precision,
    "like" timestamp with time zone,
    generated smallint,
    storage time without time zone,
    compression real,
    options timestamp without time zone,
    "collate" integer,
    "default" integer,
    "not" integer,
    "null" integer,
    "references" integer,
    "with" integer,
    without integer,
    nulls integer,
    inherits time with time zone,
    "partition" jsonb,
    s public.storage,
    g public.generated NOT NULL,
    o public.options COLLATE pg_catalog."C",
    c public.compression DEFAULT '2024-01-01'::date,
    e public.exclude,
    CONSTRAINT positive CHECK (exclude > 0),
    UNIQUE (generated),
    EXCLUDE USING btree (storage WITH =)
);

INSERT INTO public.keyword_columns VALUES
    (1, 2.50, true, '2024-01-02', 3, 0.5, '2024-01-02 03:04:05+00', 4, '05:06:07', 1.5,
     '2024-01-02 03:04:05', 5, 6, 7, 8, 9, 10, 11, 12, '12:00:00+01', '{"k": 1}', 13, 14.5, 'o',
     '2024-02-03', 'b');
