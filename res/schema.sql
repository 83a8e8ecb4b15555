-- The shop's database: five tables, the first prices and the first administrator.
-- Text compares without regard to letter case, as the shop's staff expect when they type numbers and names.
PRAGMA journal_mode = WAL;

CREATE TABLE Client (
    ID         INTEGER PRIMARY KEY AUTOINCREMENT,
    ClientID   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    PhoneNum   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    CreateDate TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Foregift   REAL NOT NULL DEFAULT 0,
    Balance    REAL NOT NULL DEFAULT 0,
    Remark     TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX Client_ClientID ON Client (ClientID);

CREATE TABLE Film (
    ID        INTEGER PRIMARY KEY AUTOINCREMENT,
    FilmID    TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    FilmName  TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Playactor TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Type      TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Class1    TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Class2    TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    StgDate   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Degree    INTEGER NOT NULL DEFAULT 0,
    Remark    TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX Film_FilmID ON Film (FilmID);
CREATE INDEX Film_FilmName ON Film (FilmName);
-- The rental browser's search by film name reads the names and codes alone.
CREATE INDEX Film_NameCode ON Film (FilmName, FilmID);
-- The reports read a disc's title by its code from an index alone.
CREATE INDEX IF NOT EXISTS Film_CodeName ON Film (FilmID, ID, FilmName);
-- The film window sorted by a heading: each index also holds the row's ID, the order of equal values.
CREATE INDEX Film_Playactor ON Film (Playactor);
CREATE INDEX Film_Type ON Film (Type);
CREATE INDEX Film_Class1 ON Film (Class1);
CREATE INDEX Film_Class2 ON Film (Class2);
CREATE INDEX Film_StgDate ON Film (StgDate);
CREATE INDEX Film_Degree ON Film (Degree);
CREATE INDEX Film_Remark ON Film (Remark);

CREATE TABLE Record (
    ID         INTEGER PRIMARY KEY AUTOINCREMENT,
    ClientID   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    FilmID     TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Type       TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Foregift   REAL NOT NULL DEFAULT 0,
    BorrowDate TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    ReturnDate TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    OptUser    TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX Record_FilmID ON Record (FilmID);
CREATE INDEX Record_ClientID ON Record (ClientID);
CREATE INDEX Record_Type_ReturnDate ON Record (Type, ReturnDate);
-- The rental browser's filters, newest first: one value's rows stand in ID order in these. Only the
-- rentals out are indexed by their empty return date, a fiftieth of the rows.
CREATE INDEX Record_Type ON Record (Type);
CREATE INDEX Record_Out ON Record (ReturnDate) WHERE ReturnDate = '';
-- Its search by lending date steps through the distinct dates.
CREATE INDEX Record_BorrowDate ON Record (BorrowDate);
-- A film is out while it has a row with an empty return date: never two such rows for one film.
CREATE UNIQUE INDEX Record_OpenFilm ON Record (FilmID) WHERE ReturnDate = '';
-- The reports: a disc's and a customer's last lending, the returns of a period.
CREATE INDEX IF NOT EXISTS Record_FilmBorrow ON Record (FilmID, BorrowDate);
CREATE INDEX IF NOT EXISTS Record_ClientBorrow ON Record (ClientID, BorrowDate);
CREATE INDEX IF NOT EXISTS Record_ReturnDate ON Record (ReturnDate, OptUser);

CREATE TABLE Operator (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    OptName TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    OptPwd  TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Type    TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX Operator_OptName ON Operator (OptName);

CREATE TABLE Setting (
    MonthVcd REAL NOT NULL DEFAULT 0,
    MonthDvd REAL NOT NULL DEFAULT 0,
    DayVcd   REAL NOT NULL DEFAULT 0,
    DayDvd   REAL NOT NULL DEFAULT 0
);

-- Every movement of money, in whole fen, with the clock's time of the action (At) beside the date
-- the clerk gave it (Day); written with the action, never purged.
CREATE TABLE IF NOT EXISTS Ledger (
    ID       INTEGER PRIMARY KEY AUTOINCREMENT,
    At       TEXT NOT NULL DEFAULT '',
    Day      TEXT NOT NULL DEFAULT '',
    OptUser  TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Kind     TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Fen      INTEGER NOT NULL DEFAULT 0,
    ClientID TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    FilmID   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    RentID   INTEGER NOT NULL DEFAULT 0,
    Note     TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS Ledger_At ON Ledger (At);
-- The reports read a period's days, kinds, operators and amounts from this index alone.
CREATE INDEX IF NOT EXISTS Ledger_Days ON Ledger (substr(At,1,10), Kind, OptUser, Fen, At);
-- A long period's titles and customers read the ledger by disc or by customer from these alone.
CREATE INDEX IF NOT EXISTS Ledger_FilmKind ON Ledger (FilmID, Kind, At, Fen, OptUser);
CREATE INDEX IF NOT EXISTS Ledger_ClientKind ON Ledger (ClientID, Kind, At, Fen, OptUser, FilmID) WHERE ClientID <> '';

-- The shop's own settings beyond the prices, by name: the shop's name, the receipts.
CREATE TABLE IF NOT EXISTS Options (
    Name  TEXT COLLATE NOCASE PRIMARY KEY,
    Value TEXT NOT NULL DEFAULT ''
);

-- The pinyin search keys of each film's title and actor, and of each client's remark and phone
-- digits (src/base/SearchKeys.h): one row per key, written with the row it stands for.
CREATE TABLE IF NOT EXISTS FilmKey (
    Film   INTEGER NOT NULL,
    Kind   INTEGER NOT NULL,
    Pinyin TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS FilmKey_Pinyin ON FilmKey (Pinyin, Kind, Film);
CREATE INDEX IF NOT EXISTS FilmKey_Film ON FilmKey (Film);
CREATE TABLE IF NOT EXISTS ClientKey (
    Client INTEGER NOT NULL,
    Kind   INTEGER NOT NULL,
    Pinyin TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS ClientKey_Pinyin ON ClientKey (Pinyin, Kind, Client);
CREATE INDEX IF NOT EXISTS ClientKey_Client ON ClientKey (Client);

-- A per-day rental's contact, if the customer gave one, beside its rental row.
CREATE TABLE IF NOT EXISTS RentContact (
    RentID INTEGER PRIMARY KEY,
    Name   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Phone  TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);

-- The cash each desk's drawer held when the day began, once per day and desk, in fen.
CREATE TABLE IF NOT EXISTS DrawerFloat (
    Day     TEXT NOT NULL DEFAULT '',
    Desk    TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    OptUser TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Fen     INTEGER NOT NULL DEFAULT 0,
    At      TEXT NOT NULL DEFAULT '',
    PRIMARY KEY (Day, Desk)
);

-- Each lending and return, with what undoing it must put back: the client's balance before and
-- after, the rental's operator before a return, and the ledger rows it wrote (by ID); once undone,
-- when, by whom and why.
CREATE TABLE IF NOT EXISTS DeskAction (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    At            TEXT NOT NULL DEFAULT '',
    OptUser       TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Kind          TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    RentID        INTEGER NOT NULL DEFAULT 0,
    FilmID        TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    ClientID      TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    BalanceBefore REAL NOT NULL DEFAULT 0,
    BalanceAfter  REAL NOT NULL DEFAULT 0,
    RentUser      TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    FirstLedger   INTEGER NOT NULL DEFAULT 0,
    LastLedger    INTEGER NOT NULL DEFAULT 0,
    UndoneAt      TEXT NOT NULL DEFAULT '',
    UndoneBy      TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Reason        TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS DeskAction_At ON DeskAction (At);
CREATE INDEX IF NOT EXISTS DeskAction_RentID ON DeskAction (RentID);

-- Reservations of a title (FilmName) by a client, or of one disc (FilmID), first come first
-- served; the disc held for the client and the last day it is held. At most one hold per disc
-- and one open reservation per client and title.
CREATE TABLE IF NOT EXISTS Reservation (
    ID         INTEGER PRIMARY KEY AUTOINCREMENT,
    ClientID   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    FilmName   TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    FilmID     TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    AskDate    TEXT NOT NULL DEFAULT '',
    State      TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    HeldFilmID TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    HeldUntil  TEXT NOT NULL DEFAULT '',
    DoneDate   TEXT NOT NULL DEFAULT '',
    OptUser    TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS Reservation_Title ON Reservation (FilmName, State);
CREATE INDEX IF NOT EXISTS Reservation_Client ON Reservation (ClientID);
CREATE UNIQUE INDEX IF NOT EXISTS Reservation_OneHold ON Reservation (HeldFilmID) WHERE State = '已留片';
CREATE UNIQUE INDEX IF NOT EXISTS Reservation_OnePerTitle ON Reservation (ClientID, FilmName)
    WHERE State IN ('等待', '已留片');

-- Each import of the catalogue or of the customers from a spreadsheet: when, by whom, what it
-- added and updated, the last rental and the ledger rows it found or wrote; once undone, when and by
-- whom. ImportRow holds each row it wrote: added, or updated with the row as it was before (Image).
CREATE TABLE IF NOT EXISTS ImportRun (
    ID          INTEGER PRIMARY KEY AUTOINCREMENT,
    At          TEXT NOT NULL DEFAULT '',
    OptUser     TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    What        TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    File        TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Added       INTEGER NOT NULL DEFAULT 0,
    Updated     INTEGER NOT NULL DEFAULT 0,
    LastRecord  INTEGER NOT NULL DEFAULT 0,
    FirstLedger INTEGER NOT NULL DEFAULT 0,
    LastLedger  INTEGER NOT NULL DEFAULT 0,
    UndoneAt    TEXT NOT NULL DEFAULT '',
    UndoneBy    TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE TABLE IF NOT EXISTS ImportRow (
    Run    INTEGER NOT NULL,
    RowID  INTEGER NOT NULL,
    Added  INTEGER NOT NULL DEFAULT 0,
    Image  TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS ImportRow_Run ON ImportRow (Run, RowID);

-- The trail of every change outside the ledger: when, who, at which desk, what kind, the code it
-- concerns (a film's, a client's, an operator's name) and what changed. Nothing purges it.
CREATE TABLE IF NOT EXISTS AuditTrail (
    ID      INTEGER PRIMARY KEY AUTOINCREMENT,
    At      TEXT NOT NULL DEFAULT '',
    OptUser TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Desk    TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Kind    TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    ItemKey TEXT COLLATE NOCASE NOT NULL DEFAULT '',
    Detail  TEXT COLLATE NOCASE NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS AuditTrail_At ON AuditTrail (At);
CREATE INDEX IF NOT EXISTS AuditTrail_Key ON AuditTrail (ItemKey, At);
CREATE INDEX IF NOT EXISTS AuditTrail_User ON AuditTrail (OptUser, At);
CREATE INDEX IF NOT EXISTS AuditTrail_Kind ON AuditTrail (Kind, At);

INSERT INTO Setting (MonthVcd, MonthDvd, DayVcd, DayDvd) VALUES (30, 40, 3, 5);
INSERT INTO Operator (OptName, OptPwd, Type) VALUES ('Admin', 'admin', '管理员');

-- The schema's version: the program brings an older file up to it and refuses a newer one.
PRAGMA user_version = 1;
