#include "project/BefehlComposer.h"

#include <cstddef>
#include <cstdint>

// A command built from the input: rows of any type with any ranges and entries. Checking
// and composing never fail hard, mark every row, and keep the command's sequence in front.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vemro::Befehl b;
    b.Sequenz = QStringLiteral("<ESC>XY");
    b.Abschlusszeichen = QStringLiteral(";");
    QList<vemro::ParameterEingabe> in;
    size_t i = 0;
    while (i + 4 <= size && b.Parameter.size() < 40) {
        vemro::Befehlsparameter p = vemro::parameterOfTyp(data[i] % 9);
        p.Min = static_cast<int>(static_cast<int8_t>(data[i + 1])) * 3;
        p.Max = static_cast<int>(data[i + 2]) * 2;
        p.Default = QString::number(data[i + 3]);
        const size_t len = data[i + 3] % 6;
        i += 4;
        const size_t take = std::min(len, size - i);
        vemro::ParameterEingabe e;
        e.text =
            QString::fromLatin1(reinterpret_cast<const char*>(data + i), static_cast<int>(take));
        e.checked = (data[i - 2] & 1) != 0;
        i += take;
        b.Parameter.append(p);
        in.append(e);
    }
    for (int mode : {0, 1}) {
        QList<bool> bad;
        const bool ok = vemro::BefehlComposer::CheckParameter(b, in, mode, &bad);
        if (bad.size() != b.Parameter.size())
            __builtin_trap();
        bool unknown = false;
        const QString text = vemro::BefehlComposer::CreateBefehlstext(b, in, mode, &unknown);
        if (!text.startsWith(b.Sequenz))
            __builtin_trap();
        // The byte form has no separators and no end character.
        if (ok && mode == 0 && !unknown && text.size() < b.Sequenz.size())
            __builtin_trap();
        (void)vemro::BefehlComposer::Vorgaben(b);
    }
    return 0;
}
