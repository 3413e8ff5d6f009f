/**
 *  Delta DDL
 *  Original Model is Shop v1
 *  Target Model is Shop v2
 */
ALTER TABLE SHOP.EMP MODIFY (ENAME VARCHAR2(40))
/

ALTER TABLE SHOP.EMP ADD HIREDATE DATE
/


