-- A sqlite3 shell script: writes, from the dictionary attached as "dict", the
-- SQL that gives one owner its tables and views in a SQLite data file. Every
-- table and object table gets the dictionary's columns in their order, every
-- view the dictionary's column names. make_owner_data.cmake fills in the owner
-- and the two files written.

-- SQLite keeps NUMBER as NUMERIC, dates and text as TEXT, binary data as BLOB;
-- an object or collection column holds its value as text, so a query of the
-- table still lists the column.
CREATE TEMP VIEW OWNER_COLUMNS AS
SELECT c.TABLE_NAME, c.COLUMN_ID,
       '"' || replace(c.COLUMN_NAME, '"', '""') || '"' AS QUOTED_NAME,
       CASE WHEN c.DATA_TYPE_OWNER IS NOT NULL THEN 'TEXT'
            WHEN c.DATA_TYPE IN ('NUMBER', 'FLOAT', 'INTEGER', 'BINARY_FLOAT', 'BINARY_DOUBLE') THEN 'NUMERIC'
            WHEN c.DATA_TYPE IN ('BLOB', 'RAW', 'LONG RAW', 'BFILE') THEN 'BLOB'
            ELSE 'TEXT' END AS AFFINITY
FROM dict.ALL_TAB_COLUMNS c
WHERE c.OWNER = @OWNER@;

-- The column lists in column order: a window keeps the order group_concat sees.
CREATE TEMP VIEW OWNER_COLUMN_LISTS AS
SELECT DISTINCT TABLE_NAME,
       group_concat(QUOTED_NAME || ' ' || AFFINITY, ', ') OVER w AS DEFINITIONS,
       group_concat(QUOTED_NAME, ', ') OVER w AS NAMES
FROM OWNER_COLUMNS
WINDOW w AS (PARTITION BY TABLE_NAME ORDER BY COLUMN_ID ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING);

.output "@TABLES_SQL@"
SELECT 'CREATE TABLE IF NOT EXISTS "' || replace(l.TABLE_NAME, '"', '""') || '" (' || l.DEFINITIONS || ');'
FROM OWNER_COLUMN_LISTS l
WHERE l.TABLE_NAME IN (SELECT TABLE_NAME FROM dict.ALL_TABLES WHERE OWNER = @OWNER@
                       UNION SELECT TABLE_NAME FROM dict.ALL_OBJECT_TABLES WHERE OWNER = @OWNER@)
ORDER BY l.TABLE_NAME;

.output "@VIEWS_SQL@"
-- The dictionary's query without a closing WITH READ ONLY or WITH CHECK OPTION
-- (a SQLite view is read-only anyway), unless the view has a SQLite wording.
SELECT 'CREATE VIEW IF NOT EXISTS "' || replace(v.VIEW_NAME, '"', '""') || '" (' || l.NAMES || ') AS '
       || coalesce(s.TEXT,
                   CASE WHEN upper(q.BODY) LIKE '%WITH READ ONLY' THEN substr(q.BODY, 1, length(q.BODY) - 14)
                        WHEN upper(q.BODY) LIKE '%WITH CHECK OPTION' THEN substr(q.BODY, 1, length(q.BODY) - 17)
                        ELSE q.BODY END)
       || ';'
FROM dict.ALL_VIEWS v
JOIN (SELECT OWNER, VIEW_NAME, rtrim(TEXT, ' ' || char(9, 10, 13)) AS BODY FROM dict.ALL_VIEWS) q
  ON q.OWNER = v.OWNER AND q.VIEW_NAME = v.VIEW_NAME
JOIN OWNER_COLUMN_LISTS l ON l.TABLE_NAME = v.VIEW_NAME
LEFT JOIN SAMPLE_VIEW_TEXTS s ON s.OWNER = v.OWNER AND s.VIEW_NAME = v.VIEW_NAME
WHERE v.OWNER = @OWNER@
ORDER BY v.VIEW_NAME;
.output stdout
