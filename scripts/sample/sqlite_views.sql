-- SQLite wordings of the sample views whose Oracle query SQLite cannot run
-- (LISTAGG, JSON_TABLE, GROUPING SETS); the other views run the dictionary's
-- own text. Same columns, in the same order, as the dictionary lists.
CREATE TEMP TABLE SAMPLE_VIEW_TEXTS (OWNER TEXT, VIEW_NAME TEXT, TEXT TEXT);
INSERT INTO SAMPLE_VIEW_TEXTS VALUES
('CO', 'CUSTOMER_ORDER_PRODUCTS', 'SELECT o.order_id, o.order_tms, o.order_status,
         c.customer_id, c.email_address, c.full_name,
         SUM ( oi.quantity * oi.unit_price ) order_total,
         group_concat ( p.product_name, '', '' ) items
  FROM   orders o
  JOIN   order_items oi
  ON     o.order_id = oi.order_id
  JOIN   customers c
  ON     o.customer_id = c.customer_id
  JOIN   products p
  ON     oi.product_id = p.product_id
  GROUP  BY o.order_id, o.order_tms, o.order_status,
         c.customer_id, c.email_address, c.full_name'),
('CO', 'PRODUCT_REVIEWS', 'SELECT p.product_name,
         json_extract ( r.value, ''$.rating'' ) rating,
         ROUND ( AVG ( json_extract ( r.value, ''$.rating'' ) ) over ( PARTITION BY p.product_name ), 2 ) avg_rating,
         json_extract ( r.value, ''$.review'' ) review
  FROM   products p,
         json_each ( p.product_details, ''$.reviews'' ) r'),
('CO', 'STORE_ORDERS', 'SELECT CASE grouping_id
           WHEN 1 THEN ''STORE TOTAL''
           WHEN 2 THEN ''STATUS TOTAL''
           WHEN 3 THEN ''GRAND TOTAL''
         END total,
         store_name, address, latitude, longitude, order_status, order_count, total_sales
  FROM (
    SELECT 0 grouping_id, s.store_name, COALESCE ( s.web_address, s.physical_address ) address,
           s.latitude, s.longitude, o.order_status,
           COUNT ( DISTINCT o.order_id ) order_count, SUM ( oi.quantity * oi.unit_price ) total_sales
    FROM stores s JOIN orders o ON s.store_id = o.store_id JOIN order_items oi ON o.order_id = oi.order_id
    GROUP BY s.store_name, address, s.latitude, s.longitude, o.order_status
    UNION ALL
    SELECT 1, s.store_name, COALESCE ( s.web_address, s.physical_address ),
           s.latitude, s.longitude, NULL,
           COUNT ( DISTINCT o.order_id ), SUM ( oi.quantity * oi.unit_price )
    FROM stores s JOIN orders o ON s.store_id = o.store_id JOIN order_items oi ON o.order_id = oi.order_id
    GROUP BY s.store_name, COALESCE ( s.web_address, s.physical_address ), s.latitude, s.longitude
    UNION ALL
    SELECT 2, NULL, NULL, NULL, NULL, o.order_status,
           COUNT ( DISTINCT o.order_id ), SUM ( oi.quantity * oi.unit_price )
    FROM stores s JOIN orders o ON s.store_id = o.store_id JOIN order_items oi ON o.order_id = oi.order_id
    GROUP BY o.order_status
    UNION ALL
    SELECT 3, NULL, NULL, NULL, NULL, NULL,
           COUNT ( DISTINCT o.order_id ), SUM ( oi.quantity * oi.unit_price )
    FROM stores s JOIN orders o ON s.store_id = o.store_id JOIN order_items oi ON o.order_id = oi.order_id
  )');
