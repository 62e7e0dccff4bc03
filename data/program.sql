-- The program database VEMRO.mdb: program settings, the recently used project and
-- the result of the last network search.

CREATE TABLE Allgemein (
  ProjektPfad TEXT,
  ComPort INTEGER
);
INSERT INTO Allgemein (ProjektPfad, ComPort) VALUES ('\Projekte\', 1);

CREATE TABLE ProjekteLRU (
  Bezeichnung TEXT,
  lastused DATETIME,
  Nr INTEGER
);

-- UDP ports reach 65535: the port column is a plain (64-bit) integer.
CREATE TABLE Suchergebnis (
  Typ TEXT,
  SerNr TEXT,
  IPAdresse TEXT,
  ZielIP TEXT,
  UDPDatenport INTEGER,
  Bezeichnung TEXT
);

-- Where the serial ports "Com 1" to "Com 8" live on this PC; change a row to use another
-- device (a USB adapter /dev/ttyUSB*, /dev/ttyACM*, a pseudo-terminal).
CREATE TABLE ComPortZuordnung (
  ComNr INTEGER PRIMARY KEY,
  Geraet TEXT
);
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (1, '/dev/ttyS0');
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (2, '/dev/ttyS1');
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (3, '/dev/ttyS2');
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (4, '/dev/ttyS3');
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (5, '/dev/ttyUSB0');
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (6, '/dev/ttyUSB1');
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (7, '/dev/ttyUSB2');
INSERT INTO ComPortZuordnung (ComNr, Geraet) VALUES (8, '/dev/ttyUSB3');
