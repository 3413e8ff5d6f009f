-- Who may log on to the sample database: each sample schema with its own
-- name, in lower case, as password (hr/hr, co/co, sh/sh, shop/shop). Only the
-- SHA-256 of a password is kept.
CREATE TABLE MARROWTIDE_LOGONS (USERNAME TEXT PRIMARY KEY, PASSWORD_SHA256 TEXT NOT NULL);
INSERT INTO MARROWTIDE_LOGONS VALUES
('HR', '1b52f3a2e15148731314bf167145c54565ed2385a862b5eb7771eaf719e4f82e'),
('CO', 'c330ec504d82c24fcd10be978fa74b8a3185a8df719604a85443bb9ca279f5a2'),
('SH', '89c4ec9f6b3f1086b158d8ef03dfe8155e6f79d9e66434b8f9b3432fe8720e50'),
('SHOP', '8d9001d32c6a703d95921a77115050f33dd823d3f1730bd35215dcbecad6dc20');
