#pragma once

#include <QByteArray>
#include <QList>

namespace vemro {

// The parameters of a terminal reply ("prefix:" followed by parameters).
struct ParsedReply
{
    QList<QByteArray> items; // items as text; byte-form items as their decimal code
    QByteArray rest;         // the reply after the part consumed by parsing
};

// Decimal form: items separated by ",", the last one ended by ";" or the end of the reply.
// A reply without ":" is one item holding the whole reply.
[[nodiscard]] ParsedReply ParseDecimalReply(const QByteArray& reply);

// Byte form: every character after the first ":" is one item (its code 0..255).
// A reply without ":" is one item holding the whole reply.
[[nodiscard]] ParsedReply ParseByteReply(const QByteArray& reply);

} // namespace vemro
