// vemro-mkdb OUT.mdb SCRIPT.sql...  builds a database file from SQL scripts at build time.
#include "project/ProgramDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "Aufruf: vemro-mkdb AUSGABE.mdb SKRIPT.sql...\n");
        return 2;
    }
    QStringList scripts;
    for (int i = 2; i < args.size(); ++i) {
        QFile f(args.at(i));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s kann nicht gelesen werden\n", qPrintable(args.at(i)));
            return 1;
        }
        scripts.append(QString::fromUtf8(f.readAll()));
    }
    QString error;
    if (!vemro::BuildDatabaseFile(args.at(1), scripts, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args.at(1)), qPrintable(error));
        return 1;
    }
    return 0;
}
