CREATE TABLE HR.REGIONS
(
  REGION_ID   NUMBER NOT NULL,
  REGION_NAME VARCHAR2(25)
)
/

ALTER TABLE HR.REGIONS
  ADD CONSTRAINT REG_ID_PK PRIMARY KEY (REGION_ID)
/

COMMENT ON COLUMN HR.REGIONS.REGION_ID IS 'Primary key of regions table.'
/

COMMENT ON COLUMN HR.REGIONS.REGION_NAME IS 'Names of regions. Locations are in the countries of these regions.'
/

COMMENT ON TABLE HR.REGIONS IS 'Regions table that contains region numbers and names. references with the Countries table.'
/
