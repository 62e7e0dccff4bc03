#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

namespace vemro {

// Where the fixed texts live in the terminal's EEPROM: an address table at 0x0100 (high and
// low byte of each text's start), a 0 at 0x0200 for every number without a text, then the
// texts packed from 0x0201 on, each ended by one 0 byte.
constexpr int kFesttextCount = 128;
constexpr int kFesttextTable = 0x0100;
constexpr int kFesttextNone = 0x0200;
constexpr int kFesttextFirst = 0x0201;
constexpr int kStandardEEPromSize = 4096;

// One fixed text of a project: its number and its text in command notation (ANSI bytes).
struct FesttextRow
{
    int DisplayNr = 0;
    QByteArray text;
};
using FesttextRows = QList<FesttextRow>;

// The texts as they go into the EEPROM.
struct FesttextLayout
{
    std::array<int, kFesttextCount> starts{}; // start address per number
    QList<int> numbers;                       // the rows written, in order
    QList<QByteArray> bytes;                  // their filtered bytes, without terminator
    int textBytes = 0;                        // sum of the filtered lengths
    int endAddress = kFesttextFirst;          // address after the last terminator
};

// Lays out the rows in ascending number order. `removeLF` reduces CR LF to CR (block
// writer). Rows numbered outside 0..127 are left out. False with the reason in `error`
// when a text holds a code form that names no character or a 0 (FesttextToBytes).
[[nodiscard]] bool LayoutFesttexte(const FesttextRows& rows, bool removeLF, FesttextLayout& out,
                                   QString* error);

// The 256 bytes of the address table.
[[nodiscard]] QByteArray FesttextAddressTable(const FesttextLayout& layout);

// The block writer's image from 0x0100 on: table, the 0 of 0x0200, the texts with their
// terminators, then 1 to 8 blanks so that the length is a multiple of 8.
[[nodiscard]] QByteArray FesttextBlockImage(const FesttextLayout& layout);

// Start addresses from the table's 256 bytes.
[[nodiscard]] std::array<int, kFesttextCount> FesttextStarts(const QByteArray& table);

// A table worth trusting: every entry is 0x0200 (no text) or points into the text area of
// a memory of `memorySize` bytes. An erased table (0xFFFF everywhere) is not.
[[nodiscard]] bool FesttextTablePlausible(const std::array<int, kFesttextCount>& starts,
                                          int memorySize);

// Version choice of SaveFesttexte: -1 ask "Zeilenumbruch filtern?", 0 byte writer,
// 1 block writer. Version texts are compared character by character, as text.
[[nodiscard]] int FesttextWriterFor(const QString& version);

} // namespace vemro
