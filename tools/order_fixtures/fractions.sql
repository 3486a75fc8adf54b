-- Fractions of a second beyond microseconds, which pg_dump never writes but a hand-made dump may:
-- how the server reads each as time, timetz, timestamp and timestamptz (the zone and the date
-- added by make_order_fixtures.sh), near ties, past a carry into the next second, minute and day,
-- past 24:00:00, and longer than a double's digits.

\set ON_ERROR_STOP on

CREATE TABLE fraction_inputs (id integer GENERATED ALWAYS AS IDENTITY, t text);
INSERT INTO fraction_inputs (t) VALUES
    ('12:00:00.1234567'), ('12:00:00.1234564'), ('12:00:00.1234565'), ('12:00:00.1234575'),
    ('12:00:00.1234585'), ('12:00:00.12345650'), ('12:00:00.123456500000001'),
    ('12:00:00.12345649999999'), ('12:00:00.0000005'), ('12:00:00.0000015'),
    ('12:00:00.0000025'), ('12:00:00.00000049999999'), ('12:00:00.0000001'),
    ('12:00:00.9999994'), ('12:00:00.9999995'), ('12:00:00.99999999'), ('12:00:59.9999995'),
    ('12:59:59.9999999'), ('23:59:59.9999994'), ('23:59:59.9999995'), ('24:00:00.0000004'),
    ('24:00:00.0000005'), ('24:00:00.0000006'), ('24:00:00.000001'), ('12:00:60.4999996'),
    ('12:00:60.9999999'), ('23:59:60.4999996'), ('23:59:60.5'), ('00:00:00.5000005'),
    ('00:00:00.7500005'), ('00:00:00.123456789012345'), ('00:00:00.1234564999999999999');

-- The server's reading of v as type t, as text; ERROR when it refuses it.
CREATE FUNCTION read_as(v text, t text) RETURNS text LANGUAGE plpgsql AS $$
DECLARE
    r text;
BEGIN
    EXECUTE format('SELECT %L::%s::text', v, t) INTO r;
    RETURN r;
EXCEPTION WHEN others THEN
    RETURN 'ERROR';
END $$;
