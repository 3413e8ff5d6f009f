CREATE OR REPLACE FORCE VIEW SHOP.OPEN_ORDERS_V (ORDER_ID, CUSTOMER_NO, ORDER_TIME) AS
SELECT order_id, customer_no, order_time FROM orders WHERE status IN ('NEW','PAID')
/

CREATE OR REPLACE FORCE VIEW HR.EMP_DETAILS_VIEW (EMPLOYEE_ID, JOB_ID, MANAGER_ID, DEPARTMENT_ID, LOCATION_ID, COUNTRY_ID, FIRST_NAME, LAST_NAME, SALARY, COMMISSION_PCT, DEPARTMENT_NAME, JOB_TITLE, CITY, STATE_PROVINCE, COUNTRY_NAME, REGION_NAME) AS
SELECT
  e.employee_id, 
  e.job_id, 
  e.manager_id, 
  e.department_id,
  d.location_id,
  l.country_id,
  e.first_name,
  e.last_name,
  e.salary,
  e.commission_pct,
  d.department_name,
  j.job_title,
  l.city,
  l.state_province,
  c.country_name,
  r.region_name
FROM
  employees e,
  departments d,
  jobs j,
  locations l,
  countries c,
  regions r
WHERE e.department_id = d.department_id
  AND d.location_id = l.location_id
  AND l.country_id = c.country_id
  AND c.region_id = r.region_id
  AND j.job_id = e.job_id 
WITH READ ONLY
/

/* Methods left out, their parameters and body are not in the data dictionary: DISPLAY_NAME, RAISE_LIMIT */
CREATE OR REPLACE TYPE SHOP.CUSTOMER_T AS OBJECT
(
  CUSTOMER_NO NUMBER(8),
  FULL_NAME VARCHAR2(80),
  ADDRESS SHOP.ADDRESS_T,
  PHONES SHOP.PHONE_LIST_T,
  CREDIT_LIMIT NUMBER(9,2)
) NOT FINAL
/

CREATE OR REPLACE TYPE SHOP.PHONE_LIST_T AS VARRAY(5) OF VARCHAR2(25)
/

CREATE SEQUENCE HR.DEPARTMENTS_SEQ
  MINVALUE 1
  MAXVALUE 9990
  INCREMENT BY 10
  START WITH 280
  NOCACHE
  NOORDER
  NOCYCLE
/

CREATE OR REPLACE SYNONYM SHOP.ITEMS FOR SHOP.ORDER_LINES
/

