-- The prepared database of 澄衡客户管理软件: eight tables, their indexes and the rows the
-- program expects to find. Dates are text 'yyyy-MM-dd' (a day) so that text order is date
-- order; yes/no columns hold 1 or 0; amounts are stored as typed, as doubles.
-- Names and the other texts a user types compare without regard to the case of Latin
-- letters (COLLATE NOCASE), so that "Cash" and "cash" are one account and a search for
-- "cash" finds "Cash Ltd". Passwords and dates compare exactly.

CREATE TABLE Account (
    AccountIndex INTEGER PRIMARY KEY AUTOINCREMENT,
    AccountName  TEXT COLLATE NOCASE,
    AccountBase  REAL DEFAULT 0,
    AccountType  TEXT COLLATE NOCASE,
    AccountPower TEXT COLLATE NOCASE
);

CREATE TABLE Customer (
    CustomerIndex     INTEGER PRIMARY KEY AUTOINCREMENT,
    CustomerName      TEXT COLLATE NOCASE,
    CustomerRegion    TEXT COLLATE NOCASE,
    CustomerPhone     TEXT COLLATE NOCASE,
    CustomerFax       TEXT COLLATE NOCASE,
    CustomerContact   TEXT COLLATE NOCASE,
    CustomerHandPhone TEXT COLLATE NOCASE,
    CustomerEmail     TEXT COLLATE NOCASE,
    CustomerQQ        TEXT COLLATE NOCASE,
    CustomerAddress   TEXT COLLATE NOCASE,
    CustomerRemark    TEXT COLLATE NOCASE,
    CustomerPower     TEXT COLLATE NOCASE
);

CREATE TABLE MoneyTable (
    MoneyIndex      INTEGER PRIMARY KEY AUTOINCREMENT,
    MoneyAccount    INTEGER,
    MoneyRecordTime TEXT,
    MoneyCreateTime TEXT,
    MoneyUser       TEXT COLLATE NOCASE,
    MoneyReason     TEXT COLLATE NOCASE,
    MoneyIn         REAL DEFAULT 0,
    MoneyOut        REAL DEFAULT 0,
    MoneySum        REAL DEFAULT 0,
    MoneyType       TEXT COLLATE NOCASE,
    MoneyToken      TEXT COLLATE NOCASE,
    MoneyRemark     TEXT COLLATE NOCASE,
    MoneySerial     TEXT COLLATE NOCASE,
    MoneyMan        TEXT COLLATE NOCASE,
    MoneyPower      TEXT COLLATE NOCASE
);

CREATE TABLE Parameter (
    ParameterType  INTEGER,
    ParameterValue TEXT COLLATE NOCASE
);

CREATE TABLE Setting (
    SettingIndex INTEGER PRIMARY KEY,
    SettingValue TEXT
);

CREATE TABLE Power (
    PowerIndex INTEGER PRIMARY KEY AUTOINCREMENT,
    PowerName  TEXT COLLATE NOCASE,
    PowerKey   TEXT
);

CREATE TABLE PrintTable (
    PrintIndex   INTEGER PRIMARY KEY,
    PrintEnable  INTEGER DEFAULT 0,
    PrintValue1  TEXT, PrintValue2 TEXT, PrintValue3 TEXT, PrintValue4 TEXT, PrintValue5 TEXT,
    PrintValue6  TEXT, PrintValue7 TEXT, PrintValue8 TEXT, PrintValue9 TEXT, PrintValue10 TEXT
);

CREATE TABLE PrintReport (
    ReportIndex  INTEGER PRIMARY KEY,
    ReportEnable INTEGER DEFAULT 0,
    ReportGrid1  TEXT, ReportGrid2 TEXT, ReportGrid3 TEXT, ReportGrid4 TEXT,
    ReportGrid5  TEXT, ReportGrid6 TEXT, ReportGrid7 TEXT, ReportGrid8 TEXT
);

-- Balances, journal sums and the grids' footers run on this index alone (account, day,
-- amounts), also for a user who sees only the records he made (the owner).
CREATE INDEX MoneyByAccountDate ON MoneyTable (MoneyAccount, MoneyCreateTime, MoneySum, MoneyIn,
    MoneyOut, MoneyPower);
CREATE INDEX MoneyByCustomer ON MoneyTable (MoneyUser, MoneyAccount, MoneySum);
CREATE INDEX MoneyByDate ON MoneyTable (MoneyCreateTime);
-- The pie chart's totals by income/expense kind: for each account of the book, its records
-- of one kind (in a date range where one is asked for) summed on the index alone. With the
-- account first the engine starts from the book's accounts and reads only their records.
CREATE INDEX MoneyByAccountReason ON MoneyTable (MoneyAccount, MoneyReason, MoneyCreateTime,
    MoneySum, MoneyPower);
-- Rows of one type keep their creation order within the index, as the cards show them.
CREATE INDEX AccountByType ON Account (AccountType);
CREATE INDEX CustomerByName ON Customer (CustomerName);
CREATE INDEX ParameterByType ON Parameter (ParameterType);
CREATE INDEX PowerByName ON Power (PowerName);

-- Reserved rows: account 1 and customer 1 are placeholders that no list shows.
INSERT INTO Account (AccountIndex, AccountName, AccountBase, AccountType, AccountPower)
    VALUES (1, '（保留）', 0, '', '管理员');
INSERT INTO Customer (CustomerIndex, CustomerName, CustomerRegion, CustomerPower)
    VALUES (1, '（保留）', '', '管理员');

-- The last document number of each book: 1 现金帐, 2 应收帐, 3 应付帐.
INSERT INTO Setting (SettingIndex, SettingValue) VALUES (1, ''), (2, ''), (3, '');

-- Users; row 4 holds the data modification password.
INSERT INTO Power (PowerIndex, PowerName, PowerKey) VALUES
    (1, '管理员', 'admin'),
    (2, '出纳', ''),
    (3, '查看', ''),
    (4, '修改', '1234');

-- A few entries in each pick list to start with; the administrator edits them.
INSERT INTO Parameter (ParameterType, ParameterValue) VALUES
    (1, '销售收入'), (1, '其他收入'), (1, '采购支出'), (1, '费用支出'),
    (2, '货款'), (2, '预收款'), (2, '预付款'), (2, '费用'),
    (3, '现金'), (3, '支票'), (3, '转帐'), (3, '发票');

-- Scratch rows that printouts overwrite in place: 1,000 statement lines and 20,000
-- customer statement lines.
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
INSERT INTO PrintTable (PrintIndex, PrintEnable) SELECT i, 0 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)
INSERT INTO PrintReport (ReportIndex, ReportEnable) SELECT i, 0 FROM n;
