#include "link/ReplyParser.h"

namespace vemro {

ParsedReply ParseDecimalReply(const QByteArray& reply)
{
    ParsedReply parsed;
    const qsizetype colon = reply.indexOf(':');
    if (colon < 0) {
        parsed.items.append(reply);
        return parsed;
    }
    qsizetype pos = colon + 1;
    for (;;) {
        const qsizetype comma = reply.indexOf(',', pos);
        const qsizetype semicolon = reply.indexOf(';', pos);
        if (comma >= 0 && (semicolon < 0 || comma < semicolon)) {
            parsed.items.append(reply.mid(pos, comma - pos));
            pos = comma + 1;
            continue;
        }
        if (semicolon >= 0) {
            parsed.items.append(reply.mid(pos, semicolon - pos));
            parsed.rest = reply.mid(semicolon + 1);
        } else {
            parsed.items.append(reply.mid(pos));
        }
        return parsed;
    }
}

ParsedReply ParseByteReply(const QByteArray& reply)
{
    ParsedReply parsed;
    const qsizetype colon = reply.indexOf(':');
    if (colon < 0) {
        parsed.items.append(reply);
        return parsed;
    }
    for (qsizetype i = colon + 1; i < reply.size(); ++i)
        parsed.items.append(QByteArray::number(static_cast<uchar>(reply.at(i))));
    return parsed;
}

} // namespace vemro
