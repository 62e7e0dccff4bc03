-- Tables of a project database (schema version 1.4). Every hardware template runs this
-- script first, then its own rows. Yes/no columns hold 1 (yes) or 0 (no).

CREATE TABLE Allgemein (
  DBVersion TEXT,
  minProgversion TEXT,
  RKHardwarebezeichnung TEXT,
  lastComMode INTEGER
);

CREATE TABLE Terminaleinstellungen (
  ParameterMode INTEGER,
  SendMode INTEGER,
  Tastaturenabled BIT,
  IOPortsEnabled BIT,
  Einschaltmeldung BIT,
  Festtextmode BIT,
  FesttextPort INTEGER,
  Backlight INTEGER,
  Kontrast INTEGER,
  Display_Zeilen INTEGER,
  Display_Spalten INTEGER,
  Comsettings TEXT,
  Terminaladresse INTEGER,
  ComSettingsProg TEXT(20),
  UseRS485 BIT
);

CREATE TABLE Festtexte (
  DisplayNr INTEGER,
  text TEXT,
  TextRTF TEXT
);

CREATE TABLE Tastencodes (
  TastenNr INTEGER,
  Tastencode TEXT,
  Tastencode_Shift TEXT
);

CREATE TABLE TastaturModus (
  Mindestdauer INTEGER,
  Zeitbisrepeat INTEGER,
  Wiederholrate INTEGER,
  Polling BIT,
  Repeatenabled BIT,
  Sendenbeiloslassen BIT,
  Quittung_optisch BIT,
  Quittung_akustisch BIT,
  NrShifttaste INTEGER,
  UseMatrix BIT
);

CREATE TABLE Userzeichen (
  CGRAMAdresse INTEGER,
  Zeichenbyte0 INTEGER,
  Zeichenbyte1 INTEGER,
  Zeichenbyte2 INTEGER,
  Zeichenbyte3 INTEGER,
  Zeichenbyte4 INTEGER,
  Zeichenbyte5 INTEGER,
  Zeichenbyte6 INTEGER,
  Zeichenbyte7 INTEGER,
  Tauschzeichen TEXT
);

CREATE TABLE Register (
  FrameNr INTEGER,
  FrameBezeichnung TEXT,
  enabled BIT,
  visible BIT,
  Reihenfolge INTEGER
);

CREATE TABLE Display (
  Displaytyp TEXT
);

CREATE TABLE Befehlsgruppen (
  ID INTEGER PRIMARY KEY,
  Bezeichnung TEXT
);

CREATE TABLE Befehlssatz (
  ID INTEGER PRIMARY KEY,
  Gruppe_ID INTEGER REFERENCES Befehlsgruppen(ID),
  Bezeichnung TEXT,
  Sequenz TEXT,
  Abschlusszeichen TEXT
);

CREATE TABLE Befehlsparameter (
  ID INTEGER PRIMARY KEY,
  Befehl_ID INTEGER REFERENCES Befehlssatz(ID),
  Reihenfolge INTEGER,
  Bezeichnung TEXT,
  Typ INTEGER,
  Min REAL,
  Max REAL,
  "Default" TEXT,
  Einheit TEXT
);

CREATE TABLE QMTests (
  ID INTEGER PRIMARY KEY,
  Bezeichnung TEXT,
  Typ INTEGER,
  Reihenfolge INTEGER,
  aktiv BIT,
  Eintragstyp INTEGER,
  Gruppe TEXT,
  Prozedurname TEXT,
  Durchgaenge INTEGER,
  Min REAL
);
