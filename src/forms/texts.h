#pragma once

#include <QString>

#include "version.h"

namespace forms {

// Texts that more than one window shows.
inline const QString kVersion = QString::fromLatin1(kZelvanoVersion);
inline const QString kAuthorContact = QString::fromLatin1(kZelvanoContact);
inline const QString kErrorTitle = QStringLiteral("Errore!!");

}  // namespace forms
