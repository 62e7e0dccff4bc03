#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace vemro {

// Where the fixed texts live in the terminal's EEPROM: an address table at 0x0100 (high and
// low byte of each text's start), a 0 at 0x0200 for every number without a text, then the
// texts packed from 0x0201 on, each ended by one 0 byte.
constexpr int kFesttextCount = 128;
constexpr int kFesttextTable = 0x0100;
constexpr int kFesttextNone = 0x0200;
constexpr int kFesttextFirst = 0x0201;
constexpr int kStandardEEPromSize = 4096;
constexpr int kEEPromAddressSpace = 0x10000; // "?E" and "E" take a two-byte address

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

// Reading the texts back out of the memory, one cell at a time: the address table first
// (two cells per number), then each text from its own address up to its 0, every cell
// asked once; without a plausible table the texts are counted in stored order from
// 0x0201 on. What the cells hold comes from outside (a terminal, a damaged memory), so
// nothing here trusts it: every number comes back at most once, within 0..127.
struct FesttextCellReader
{
    // One cell: false ends the read (the link failed and has said so). `value` -1 is a
    // reply without a value.
    std::function<bool(int address, int& value)> cell;
    // The memory's size as the terminal reports it (0: no answer, negative: irregular),
    // asked only when the table points beyond the standard size; nullopt ends the read.
    std::function<std::optional<qint32>()> memorySize;
    // One text read: false ends the read.
    std::function<bool(int number, const QByteArray& text)> store;
    // One progress step: per table entry, and per text.
    std::function<void()> step;
};

struct FesttextReadResult
{
    bool ok = false;
    int unended = -1;                 // the text that runs to the end of the memory
    int memory = kStandardEEPromSize; // the size the read went by
};

[[nodiscard]] FesttextReadResult ReadFesttexte(const FesttextCellReader& reader);

} // namespace vemro
