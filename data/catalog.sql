-- Terminal command catalogue, shared by every hardware template.
--
-- Befehlssatz.Sequenz is the command's leading text in command notation ("<ESC>" for the
-- escape character); the command builder appends the parameters and, in decimal form,
-- Abschlusszeichen. '' means "no end character".
--
-- Befehlsparameter.Typ: 1 number, 2 flag (check box: Max when ticked, Min when not),
-- 3 text taken as typed in both parameter forms, 4 start and 5 end of a flag group (the
-- group's flags are summed into one parameter), 6 button (adds nothing), 7 choice (option
-- button; inside a 4..5 group the chosen option's Max becomes the parameter).
--
-- Typ 3 is used where the terminal expects decimal digits whatever the parameter form
-- ("SG", "FZ", the key number of "TC"/"T?C") and for the contrast code, which always
-- travels as one byte and is therefore entered in the "<008>" code notation.
--
-- IDs: group g, command g*100+n, parameter command*100+Reihenfolge.

INSERT INTO Befehlsgruppen (ID, Bezeichnung) VALUES (1, 'Display');
INSERT INTO Befehlsgruppen (ID, Bezeichnung) VALUES (2, 'Ein-/Ausgänge');
INSERT INTO Befehlsgruppen (ID, Bezeichnung) VALUES (3, 'EEPROM-Speicher');
INSERT INTO Befehlsgruppen (ID, Bezeichnung) VALUES (4, 'Festtexte');
INSERT INTO Befehlsgruppen (ID, Bezeichnung) VALUES (5, 'Schnittstelle');
INSERT INTO Befehlsgruppen (ID, Bezeichnung) VALUES (6, 'Tastatur');
INSERT INTO Befehlsgruppen (ID, Bezeichnung) VALUES (7, 'Terminal');

-- Display ------------------------------------------------------------------------------

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (101, 1, 'Display löschen', '<ESC>LL', '');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit)
  VALUES (10101, 101, 1, 'Display löschen', 6, NULL, NULL, NULL, NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (102, 1, 'Cursor positionieren', '<ESC>LC', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (10201, 102, 1, 'Zeile', 1, 1, 4, '1', NULL),
  (10202, 102, 2, 'Spalte', 1, 1, 40, '1', NULL);

-- The third parameter of "LC" is passed on as the terminal expects it (the demo uses 2).
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (103, 1, 'Cursor positionieren mit Modus', '<ESC>LC', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (10301, 103, 1, 'Zeile', 1, 1, 4, '2', NULL),
  (10302, 103, 2, 'Spalte', 1, 1, 40, '1', NULL),
  (10303, 103, 3, 'Modus', 1, 0, 255, '2', NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (104, 1, 'Displaygröße einstellen', '<ESC>LA', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (10401, 104, 1, 'Zeilen', 1, 1, 4, '4', NULL),
  (10402, 104, 2, 'Spalten', 1, 1, 40, '20', NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (105, 1, 'Displaygröße abfragen', '<ESC>L?A', '');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (106, 1, 'Hintergrundbeleuchtung schalten', '<ESC>LB', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (10601, 106, 1, 'Beleuchtung', 4, NULL, NULL, NULL, NULL),
  (10602, 106, 2, 'aus', 7, 0, 0, '0', NULL),
  (10603, 106, 3, 'ein', 7, 0, 1, '1', NULL),
  (10604, 106, 4, NULL, 5, NULL, NULL, NULL, NULL);

-- "LK" sends the level as one byte in both parameter forms: entered as a code form.
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (107, 1, 'Kontrast einstellen', '<ESC>LK', '');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (10701, 107, 1, 'Kontrast als Zeichencode', 3, NULL, NULL, '<008>', '<000> bis <015>');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (108, 1, 'Userzeichen ins Display laden', '<ESC>LZ', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (10801, 108, 1, 'Speicherplatz', 1, 0, 7, '0', NULL),
  (10802, 108, 2, 'Tauschcode', 1, 0, 255, '228', 'ANSI-Code'),
  (10803, 108, 3, 'Pixelzeile 1 (oben)', 1, 0, 31, '0', '16 = linkes Pixel'),
  (10804, 108, 4, 'Pixelzeile 2', 1, 0, 31, '16', NULL),
  (10805, 108, 5, 'Pixelzeile 3', 1, 0, 31, '31', NULL),
  (10806, 108, 6, 'Pixelzeile 4', 1, 0, 31, '31', NULL),
  (10807, 108, 7, 'Pixelzeile 5', 1, 0, 31, '31', NULL),
  (10808, 108, 8, 'Pixelzeile 6', 1, 0, 31, '16', NULL),
  (10809, 108, 9, 'Pixelzeile 7', 1, 0, 31, '0', NULL),
  (10810, 108, 10, 'Pixelzeile 8 (unten)', 1, 0, 31, '0', NULL);

-- Ein-/Ausgänge --------------------------------------------------------------------------

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (201, 2, 'Port setzen', '<ESC>P', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (20101, 201, 1, 'Portnummer', 1, 0, 8, '0', NULL),
  (20102, 201, 2, 'Wert', 1, 0, 255, '0', NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (202, 2, 'Port setzen (einzelne Bits)', '<ESC>P', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (20201, 202, 1, 'Portnummer', 1, 0, 8, '1', NULL),
  (20202, 202, 2, 'Ausgänge', 4, NULL, NULL, NULL, NULL),
  (20203, 202, 3, 'Bit 0', 2, 0, 1, '0', NULL),
  (20204, 202, 4, 'Bit 1', 2, 0, 2, '0', NULL),
  (20205, 202, 5, 'Bit 2', 2, 0, 4, '0', NULL),
  (20206, 202, 6, 'Bit 3', 2, 0, 8, '0', NULL),
  (20207, 202, 7, 'Bit 4', 2, 0, 16, '0', NULL),
  (20208, 202, 8, 'Bit 5', 2, 0, 32, '0', NULL),
  (20209, 202, 9, 'Bit 6', 2, 0, 64, '0', NULL),
  (20210, 202, 10, 'Bit 7', 2, 0, 128, '0', NULL),
  (20211, 202, 11, NULL, 5, NULL, NULL, NULL, NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (203, 2, 'Port lesen', '<ESC>?P', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (20301, 203, 1, 'Portnummer', 1, 0, 8, '0', NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (204, 2, 'Analogwert abfragen', '<ESC>?A', '');

-- EEPROM-Speicher ------------------------------------------------------------------------

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (301, 3, 'EEPROM-Zelle schreiben', '<ESC>E', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (30101, 301, 1, 'Adresse High-Byte', 1, 0, 255, '3', 'Adresse div 256'),
  (30102, 301, 2, 'Adresse Low-Byte', 1, 0, 255, '232', 'Adresse mod 256'),
  (30103, 301, 3, 'Wert', 1, 0, 255, '0', NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (302, 3, 'EEPROM-Zelle lesen', '<ESC>?E', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (30201, 302, 1, 'Adresse High-Byte', 1, 0, 255, '2', 'Adresse div 256'),
  (30202, 302, 2, 'Adresse Low-Byte', 1, 0, 255, '1', 'Adresse mod 256');

-- The user-defined characters occupy cells 0 to 71 (8 rows per slot, then the swap codes).
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (303, 3, 'Userzeichen-Zelle schreiben', '<ESC>E', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (30301, 303, 1, 'Adresse High-Byte', 1, 0, 0, '0', 'immer 0'),
  (30302, 303, 2, 'Zelle', 1, 0, 71, '0', 'Platz x 8 + Zeile, 64 bis 71 = Tauschcode'),
  (30303, 303, 3, 'Wert', 1, 0, 255, '0', NULL);

-- The block write carries raw bytes and is only understood in byte form.
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (304, 3, 'EEPROM-Block schreiben (nur Byte-Modus)', '<ESC>e', '');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (30401, 304, 1, 'Datenbyte 1', 1, 0, 255, '0', NULL),
  (30402, 304, 2, 'Datenbyte 2', 1, 0, 255, '0', NULL),
  (30403, 304, 3, 'Datenbyte 3', 1, 0, 255, '0', NULL),
  (30404, 304, 4, 'Datenbyte 4', 1, 0, 255, '0', NULL),
  (30405, 304, 5, 'Datenbyte 5', 1, 0, 255, '0', NULL),
  (30406, 304, 6, 'Datenbyte 6', 1, 0, 255, '0', NULL),
  (30407, 304, 7, 'Datenbyte 7', 1, 0, 255, '0', NULL),
  (30408, 304, 8, 'Datenbyte 8', 1, 0, 255, '0', NULL),
  (30409, 304, 9, 'Prüfsumme', 1, 0, 255, '0', 'Summe der Datenbytes mod 256');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (305, 3, 'Speicherbelegung abfragen', '<ESC>K?E', '');

-- Festtexte ------------------------------------------------------------------------------

-- "FZ" takes the number as decimal digits in both parameter forms.
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (401, 4, 'Festtext anzeigen', '<ESC>FZ', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (40101, 401, 1, 'Festtextnummer', 3, NULL, NULL, '0', '0 bis 127');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (402, 4, 'Port für Festtextabruf einstellen', '<ESC>FP', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (40201, 402, 1, 'Portnummer', 1, 0, 8, '0', NULL);

-- Schnittstelle --------------------------------------------------------------------------

-- "SG" takes the speed code as one decimal digit without end character.
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (501, 5, 'Schnittstellengeschwindigkeit einstellen', '<ESC>SG', '');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (50101, 501, 1, 'Geschwindigkeitscode', 3, NULL, NULL, '1',
   'RS232: 0=9600, 1=19200, 2=38400; RS485/422: 4, 5, 6');

-- Tastatur -------------------------------------------------------------------------------

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (601, 6, 'Tastaturkonfiguration setzen', '<ESC>TK', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (60101, 601, 1, 'Mindestdauer', 1, 1, 255, '5', 'x 10 ms'),
  (60102, 601, 2, 'Zeit bis Repeat', 1, 1, 255, '50', 'x 10 ms'),
  (60103, 601, 3, 'Wiederholrate', 1, 1, 255, '10', 'x 10 ms'),
  (60104, 601, 4, 'Tastaturmodus', 4, NULL, NULL, NULL, NULL),
  (60105, 601, 5, 'Polling', 2, 0, 1, '0', NULL),
  (60106, 601, 6, 'Repeat', 2, 0, 2, '2', NULL),
  (60107, 601, 7, 'Senden auch beim Loslassen', 2, 0, 4, '0', NULL),
  (60108, 601, 8, 'Matrix an Port 0', 2, 0, 8, '0', NULL),
  (60109, 601, 9, 'Tastenquittung optisch', 2, 0, 16, '16', NULL),
  (60110, 601, 10, 'Tastenquittung akustisch', 2, 0, 32, '32', NULL),
  (60111, 601, 11, NULL, 5, NULL, NULL, NULL, NULL),
  (60112, 601, 12, 'Nr der Shift-Taste', 1, 0, 32, '0', '0=keine');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (602, 6, 'Tastaturkonfiguration abfragen', '<ESC>T?K', '');

-- The key number travels as decimal digits in both parameter forms, the codes as values.
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (603, 6, 'Tastencode setzen', '<ESC>TC', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (60301, 603, 1, 'Tastennummer', 3, NULL, NULL, '1', '1 bis 32'),
  (60302, 603, 2, 'Tastencode', 1, 0, 255, '97', 'Zeichencode; 128 + n = Festtext n'),
  (60303, 603, 3, 'Tastencode mit Shift', 1, 0, 255, '65', 'Zeichencode');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (604, 6, 'Tastencode abfragen', '<ESC>T?C', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (60401, 604, 1, 'Tastennummer', 3, NULL, NULL, '1', '1 bis 32');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (605, 6, 'Letzten Tastencode abfragen', '<ESC>?T', '');

-- Terminal -------------------------------------------------------------------------------

-- The builder always composes "<ESC>KM" in byte form: the flag sum becomes one byte.
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (701, 7, 'Terminalmodus setzen', '<ESC>KM', '');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (70101, 701, 1, 'Terminal-Modus', 4, NULL, NULL, NULL, NULL),
  (70102, 701, 2, 'Parameter dezimal, kommasepariert', 2, 0, 1, '1', NULL),
  (70103, 701, 3, 'Terminalantwort seriell', 2, 0, 2, '2', NULL),
  (70104, 701, 4, 'Tastatur aktiv', 2, 0, 8, '8', NULL),
  (70105, 701, 5, 'IO-Ports aktiv', 2, 0, 16, '16', NULL),
  (70106, 701, 6, 'Einschaltmeldung aktiv', 2, 0, 32, '32', NULL),
  (70107, 701, 7, 'Festtextmodus aktiv', 2, 0, 64, '0', NULL),
  (70108, 701, 8, NULL, 5, NULL, NULL, NULL, NULL);

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (702, 7, 'Terminalmodus abfragen', '<ESC>K?M', '');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (703, 7, 'Konfiguration dauerhaft speichern', '<ESC>KS', '');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (704, 7, 'Terminal zurücksetzen (Reset)', '<ESC>Kr', '');

-- Six characters (ANSI codes of the digits) and their sum modulo 256; the defaults give
-- the serial number 000000.
INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (705, 7, 'Seriennummer schreiben', '<ESC>Ks', ';');
INSERT INTO Befehlsparameter (ID, Befehl_ID, Reihenfolge, Bezeichnung, Typ, Min, Max, "Default", Einheit) VALUES
  (70501, 705, 1, 'Ziffer 1', 1, 48, 57, '48', 'Zeichencode, 48 = 0'),
  (70502, 705, 2, 'Ziffer 2', 1, 48, 57, '48', 'Zeichencode'),
  (70503, 705, 3, 'Ziffer 3', 1, 48, 57, '48', 'Zeichencode'),
  (70504, 705, 4, 'Ziffer 4', 1, 48, 57, '48', 'Zeichencode'),
  (70505, 705, 5, 'Ziffer 5', 1, 48, 57, '48', 'Zeichencode'),
  (70506, 705, 6, 'Ziffer 6', 1, 48, 57, '48', 'Zeichencode'),
  (70507, 705, 7, 'Prüfsumme', 1, 0, 255, '32', 'Summe der Zeichencodes mod 256');

INSERT INTO Befehlssatz (ID, Gruppe_ID, Bezeichnung, Sequenz, Abschlusszeichen)
  VALUES (706, 7, 'Version und Seriennummer abfragen', '<ESC>?V', '');
