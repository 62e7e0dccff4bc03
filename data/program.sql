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
