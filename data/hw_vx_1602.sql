-- Hardware template "vx_1602": the compact Vobrix terminal with a 16x2 display and no
-- keypad. Runs after project_schema.sql and catalog.sql.

INSERT INTO Allgemein (DBVersion, minProgversion, RKHardwarebezeichnung, lastComMode)
  VALUES ('1.4', '1.3.8', 'Vobrix VX 1602 16x2 ohne Tastatur', 0);

-- No keypad: the keyboard page is neither shown nor usable.
INSERT INTO Register (FrameNr, FrameBezeichnung, enabled, visible, Reihenfolge) VALUES
  (0, 'Projekt', 1, 1, 1),
  (1, 'Schnittstelle', 1, 1, 2),
  (2, '(reserviert)', 0, 0, 3),
  (3, 'Tastatur', 0, 0, 4),
  (4, 'Konfiguration', 1, 1, 5),
  (5, 'Festtexte', 1, 1, 6),
  (6, 'User-Zeichen', 1, 1, 7),
  (7, 'IO-Ports', 1, 1, 8),
  (8, 'QM-Test', 1, 1, 9),
  (9, 'Demos/Beispiele', 1, 1, 10);

INSERT INTO Display (Displaytyp) VALUES ('16x1'), ('16x2');

INSERT INTO Terminaleinstellungen (ParameterMode, SendMode, Tastaturenabled, IOPortsEnabled,
    Einschaltmeldung, Festtextmode, FesttextPort, Backlight, Kontrast, Display_Zeilen,
    Display_Spalten, Comsettings, Terminaladresse, ComSettingsProg, UseRS485)
  VALUES (1, 2, 0, 1, 1, 0, 0, 1, 8, 2, 16, '19200,N,8,1', 0, '19200,N,8,1', 0);

-- Kept so that a project of this type opens and saves like any other; the keyboard is off
-- in the terminal mode, and a matrix keypad on port 0 would use these values.
INSERT INTO TastaturModus (Mindestdauer, Zeitbisrepeat, Wiederholrate, Polling, Repeatenabled,
    Sendenbeiloslassen, Quittung_optisch, Quittung_akustisch, NrShifttaste, UseMatrix)
  VALUES (5, 50, 10, 0, 1, 0, 0, 0, 0, 0);

INSERT INTO Tastencodes (TastenNr, Tastencode, Tastencode_Shift) VALUES
  (1, 'a', 'A'), (2, 'b', 'B'), (3, 'c', 'C'), (4, 'd', 'D'),
  (5, 'e', 'E'), (6, 'f', 'F'), (7, 'g', 'G'), (8, 'h', 'H'),
  (9, 'i', 'I'), (10, 'j', 'J'), (11, 'k', 'K'), (12, 'l', 'L'),
  (13, 'm', 'M'), (14, 'n', 'N'), (15, 'o', 'O'), (16, 'p', 'P'),
  (17, 'q', 'Q'), (18, 'r', 'R'), (19, 's', 'S'), (20, 't', 'T'),
  (21, 'u', 'U'), (22, 'v', 'V'), (23, 'w', 'W'), (24, 'x', 'X'),
  (25, 'y', 'Y'), (26, 'z', 'Z'),
  (27, '$0D', '$0D'), (28, '$08', '$7F'), (29, '+', '-'), (30, '.', ','),
  (31, '#0', '#1'), (32, '#2', '#3');

-- Small letters with umlaut, sharp s, degree, euro and two menu arrows. The arrows are shown
-- for "^" (up) and "~" (down); this kind of display has no true tilde glyph anyway.
INSERT INTO Userzeichen (CGRAMAdresse, Zeichenbyte0, Zeichenbyte1, Zeichenbyte2, Zeichenbyte3,
    Zeichenbyte4, Zeichenbyte5, Zeichenbyte6, Zeichenbyte7, Tauschzeichen) VALUES
  (0, 10, 0, 14, 1, 15, 17, 15, 0, 'ä'),
  (1, 10, 0, 14, 17, 17, 17, 14, 0, 'ö'),
  (2, 10, 0, 17, 17, 17, 19, 13, 0, 'ü'),
  (3, 12, 18, 20, 18, 17, 17, 22, 0, 'ß'),
  (4, 12, 18, 18, 12, 0, 0, 0, 0, '°'),
  (5, 7, 8, 30, 8, 30, 8, 7, 0, '€'),
  (6, 4, 14, 21, 4, 4, 4, 4, 0, '^'),
  (7, 4, 4, 4, 4, 21, 14, 4, 0, '~');

-- Example fixed texts; rows are filled to 16 characters.
INSERT INTO Festtexte (DisplayNr, text, TextRTF) VALUES
  (0, '{<ESC>LL}  Willkommen!   Vobrix VX 1602',
      '{<ESC>LL}  Willkommen!   Vobrix VX 1602'),
  (1, '{<ESC>LL}Einstellungen   ^ / ~ blättern',
      '{<ESC>LL}Einstellungen   ^ / ~ blättern'),
  (2, '{<ESC>LL}{<ESC>LC2,1;}Bitte warten ...',
      '{<ESC>LL}{<ESC>LC2,1;}Bitte warten ...'),
  (3, '{<ESC>LL}{<ESC>LB1;}    Störung!    Service rufen',
      '{<ESC>LL}{<ESC>LB1;}    Störung!    Service rufen'),
  (4, '{<ESC>LL}Temp.:   21,5 °CPreis:  12,50 €',
      '{<ESC>LL}Temp.:   21,5 °CPreis:  12,50 €');

-- Production test of hardware type 1 without the keypad steps; the analog input uses the
-- scale of this board.
INSERT INTO QMTests (ID, Bezeichnung, Typ, Reihenfolge, aktiv, Eintragstyp, Gruppe, Prozedurname,
    Durchgaenge, Min) VALUES
  (1, 'Vorbereitung', 1, 10, 1, 1, '1', NULL, 1, NULL),
  (2, 'Firmwareversion prüfen', 1, 20, 1, 2, '1', 'CheckVersion', 1, 2.3),
  (3, 'Externes EEPROM', 1, 30, 1, 2, '1', 'CheckExtEE', 1, NULL),
  (4, 'EEPROM Zellentest', 1, 40, 0, 2, '1', 'CheckExtEE_long', 1, NULL),
  (5, 'Display', 1, 50, 1, 1, '2', NULL, 1, NULL),
  (6, 'Displayausgabe', 1, 60, 1, 2, '2', 'CheckDisplay', 1, NULL),
  (7, 'Kontrasteinstellung', 1, 70, 1, 2, '2', 'CheckKontrast', 1, NULL),
  (8, 'Hintergrundbeleuchtung', 1, 80, 1, 2, '2', 'CheckBacklight', 1, NULL),
  (9, 'Ein-/Ausgänge', 1, 90, 1, 1, '3', NULL, 1, NULL),
  (10, 'Interner Port 0', 1, 100, 1, 2, '3', 'CheckInternport', 1, NULL),
  (11, 'IO-Modul Transistor', 1, 110, 0, 2, '3', 'CheckIOModulTransistor', 1, NULL),
  (12, 'IO-Modul Relais', 1, 120, 0, 2, '3', 'CheckIOModulRelais4', 1, NULL),
  (13, 'Analogeingang', 1, 130, 1, 2, '3', 'CheckAnalog_16x2', 1, NULL),
  (14, 'Programmierung', 1, 140, 1, 1, '4', NULL, 1, NULL),
  (15, 'Displayeinstellungen', 1, 150, 1, 2, '4', 'SetDisplay', 1, NULL),
  (16, 'Terminalmodus', 1, 160, 1, 2, '4', 'SetTerminalmode', 1, NULL),
  (17, 'Userzeichen', 1, 170, 1, 2, '4', 'SetUserzeichen', 1, NULL),
  (18, 'Festtexte', 1, 180, 1, 2, '4', 'SetFesttexte', 1, NULL),
  (19, 'Seriennummer', 1, 190, 1, 2, '4', 'SetSerNr', 1, NULL),
  (20, 'Konfiguration speichern', 1, 200, 1, 2, '4', 'SaveKonfig', 1, NULL),
  (21, 'Schnittstelle', 1, 210, 1, 2, '4', 'SetSchnittstelle', 1, NULL),
  (22, 'Abschluss', 1, 220, 1, 1, '5', NULL, 1, NULL),
  (23, 'Test Ende', 1, 230, 1, 2, '5', 'TestEnde', 1, NULL);
