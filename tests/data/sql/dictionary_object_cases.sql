-- A type others may extend but nobody may make, a public synonym and one
-- through a database link.
UPDATE ALL_TYPES SET FINAL = 'NO', INSTANTIABLE = 'NO' WHERE OWNER = 'SHOP' AND TYPE_NAME = 'ADDRESS_T';
INSERT INTO ALL_SYNONYMS VALUES ('PUBLIC', 'SHOP_ITEMS', 'SHOP', 'ORDER_LINES', NULL),
('SHOP', 'REMOTE_ITEMS', 'SHOP', 'ORDER_LINES', 'BRANCH.EXAMPLE.COM');
