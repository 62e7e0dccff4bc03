#pragma once

#include <QString>

namespace vemro {

class DataEnvironment;

// The project object: the one open project database and its life.
class clsProjekt
{
public:
    explicit clsProjekt(DataEnvironment& env);

    // The project folder (program folder + ProjektPfad), with a trailing separator.
    [[nodiscard]] QString Basispfad() const { return m_basispfad; }
    void setBasispfad(const QString& folder);

    // Brings the open project's schema to the newest version, one step after the other.
    // Failures are shown ("Fehler bei DB-Update : ...") and end the upgrade; the result
    // tells whether every applicable step succeeded.
    bool UpdateProjekt();

    // True when this program may work with the open project; otherwise tells the user
    // and returns false.
    [[nodiscard]] bool CheckMinProgversion();

    // Connects the Projekt connection to `file` (used by vemro-cli's upgrade and the tests).
    [[nodiscard]] bool connectFile(const QString& file, QString* error);

    // DBVersion of the open project (Null as an invalid QVariant-like empty text).
    [[nodiscard]] QString DBVersion();

private:
    DataEnvironment& m_env;
    QString m_basispfad;
};

} // namespace vemro
