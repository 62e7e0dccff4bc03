-- Hardware template "vx_standard": the standard Vobrix terminal with a 20x4 display and the
-- full 32-key keypad. Runs after project_schema.sql and catalog.sql.

INSERT INTO Allgemein (DBVersion, minProgversion, RKHardwarebezeichnung, lastComMode)
  VALUES ('1.4', '1.3.8', 'Vobrix VX Standard 20x4', 0);

-- Pages of the main window: FrameNr is the page, Reihenfolge the tab order.
INSERT INTO Register (FrameNr, FrameBezeichnung, enabled, visible, Reihenfolge) VALUES
  (0, 'Projekt', 1, 1, 1),
  (1, 'Schnittstelle', 1, 1, 2),
  (2, '(reserviert)', 0, 0, 3),
  (3, 'Tastatur', 1, 1, 4),
  (4, 'Konfiguration', 1, 1, 5),
  (5, 'Festtexte', 1, 1, 6),
  (6, 'User-Zeichen', 1, 1, 7),
  (7, 'IO-Ports', 1, 1, 8),
  (8, 'QM-Test', 1, 1, 9),
  (9, 'Demos/Beispiele', 1, 1, 10);

-- Display types: columns "x" rows.
INSERT INTO Display (Displaytyp) VALUES
  ('16x1'), ('16x2'), ('20x2'), ('20x4'), ('40x2'), ('40x4');

INSERT INTO Terminaleinstellungen (ParameterMode, SendMode, Tastaturenabled, IOPortsEnabled,
    Einschaltmeldung, Festtextmode, FesttextPort, Backlight, Kontrast, Display_Zeilen,
    Display_Spalten, Comsettings, Terminaladresse, ComSettingsProg, UseRS485)
  VALUES (1, 2, 1, 1, 1, 0, 0, 1, 8, 4, 20, '19200,N,8,1', 0, '19200,N,8,1', 0);

-- Times in units of 10 ms: 50 ms minimum press, repeat after 500 ms, every 100 ms.
INSERT INTO TastaturModus (Mindestdauer, Zeitbisrepeat, Wiederholrate, Polling, Repeatenabled,
    Sendenbeiloslassen, Quittung_optisch, Quittung_akustisch, NrShifttaste, UseMatrix)
  VALUES (5, 50, 10, 0, 1, 0, 1, 1, 0, 0);

-- Keys 1 to 26 send a..z (shifted A..Z), as the standard assignment; the production test
-- expects a..h from keys 1 to 8. Keys 27 to 32: Enter, Backspace/Delete, +/-, ./, and
-- fixed texts 0 to 3.
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

-- German letters the display lacks, and the degree sign. Rows top to bottom, 16 = left pixel;
-- Tauschzeichen is the character that shows the slot.
INSERT INTO Userzeichen (CGRAMAdresse, Zeichenbyte0, Zeichenbyte1, Zeichenbyte2, Zeichenbyte3,
    Zeichenbyte4, Zeichenbyte5, Zeichenbyte6, Zeichenbyte7, Tauschzeichen) VALUES
  (0, 10, 0, 14, 1, 15, 17, 15, 0, 'ä'),
  (1, 10, 0, 14, 17, 17, 17, 14, 0, 'ö'),
  (2, 10, 0, 17, 17, 17, 19, 13, 0, 'ü'),
  (3, 12, 18, 20, 18, 17, 17, 22, 0, 'ß'),
  (4, 10, 14, 17, 17, 31, 17, 17, 0, 'Ä'),
  (5, 10, 14, 17, 17, 17, 17, 14, 0, 'Ö'),
  (6, 10, 0, 17, 17, 17, 17, 14, 0, 'Ü'),
  (7, 12, 18, 18, 12, 0, 0, 0, 0, '°');

-- Example fixed texts in command notation. Rows are filled to 20 characters: the display
-- wraps by itself. TextRTF holds the same plain text, which the editor shows as it is.
INSERT INTO Festtexte (DisplayNr, text, TextRTF) VALUES
  (0, '{<ESC>LL}    Willkommen!       Vobrix VX 20x4    ====================Bitte Taste drücken',
      '{<ESC>LL}    Willkommen!       Vobrix VX 20x4    ====================Bitte Taste drücken'),
  (1, '{<ESC>LL}Hauptmenü           1 Start    2 Stopp  3 Zähler   4 Service0 Ende',
      '{<ESC>LL}Hauptmenü           1 Start    2 Stopp  3 Zähler   4 Service0 Ende'),
  (2, '{<ESC>LL}{<ESC>LC2,1;}  Bitte warten ...',
      '{<ESC>LL}{<ESC>LC2,1;}  Bitte warten ...'),
  (3, '{<ESC>LL}{<ESC>LB1;}  *** STÖRUNG ***   Bitte Service rufen',
      '{<ESC>LL}{<ESC>LB1;}  *** STÖRUNG ***   Bitte Service rufen'),
  (4, '{<ESC>LL}Temperatur          Ist :    21,5 °C    Soll:    22,0 °C',
      '{<ESC>LL}Temperatur          Ist :    21,5 °C    Soll:    22,0 °C');

-- Production test of hardware type 1. Eintragstyp 1 = group, 2 = test; Gruppe = group number.
-- Inactive rows are tests for other plugs or modules, enabled when needed.
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
  (11, 'Interner Port 0 (Brenmoor)', 1, 110, 0, 2, '3', 'CheckinternPort_Brenmoor', 1, NULL),
  (12, 'IO-Modul Transistor', 1, 120, 1, 2, '3', 'CheckIOModulTransistor', 1, NULL),
  (13, 'IO-Modul Relais', 1, 130, 0, 2, '3', 'CheckIOModulRelais4', 1, NULL),
  (14, 'Analogeingang', 1, 140, 1, 2, '3', 'CheckAnalog', 1, NULL),
  (15, 'Tastatur', 1, 150, 1, 1, '4', NULL, 1, NULL),
  (16, 'Tastaturmodul', 1, 160, 1, 2, '4', 'CheckKeyboard', 1, NULL),
  (17, 'Tasten-LED', 1, 170, 1, 2, '4', 'CheckKeyboardLED', 1, NULL),
  (18, 'Programmierung', 1, 180, 1, 1, '5', NULL, 1, NULL),
  (19, 'Displayeinstellungen', 1, 190, 1, 2, '5', 'SetDisplay', 1, NULL),
  (20, 'Terminalmodus', 1, 200, 1, 2, '5', 'SetTerminalmode', 1, NULL),
  (21, 'Tastaturkonfiguration', 1, 210, 1, 2, '5', 'SetTastatur', 1, NULL),
  (22, 'Userzeichen', 1, 220, 1, 2, '5', 'SetUserzeichen', 1, NULL),
  (23, 'Festtexte', 1, 230, 1, 2, '5', 'SetFesttexte', 1, NULL),
  (24, 'Seriennummer', 1, 240, 1, 2, '5', 'SetSerNr', 1, NULL),
  (25, 'Konfiguration speichern', 1, 250, 1, 2, '5', 'SaveKonfig', 1, NULL),
  (26, 'Schnittstelle', 1, 260, 1, 2, '5', 'SetSchnittstelle', 1, NULL),
  (27, 'Abschluss', 1, 270, 1, 1, '6', NULL, 1, NULL),
  (28, 'Test Ende', 1, 280, 1, 2, '6', 'TestEnde', 1, NULL);
