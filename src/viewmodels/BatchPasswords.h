#pragma once

#include "core/base/CancellationToken.h"
#include "core/engine/ExtractionPasswords.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class PasswordProbing;

// The password each archive of an extraction of one or more is given, by the same rule on the extract
// page, the home actions and drops, and the archive browser. Only an encrypted archive gets the password
// book's candidates: the password in the field (typed, or left from an earlier archive) is tried first,
// then the archive's own candidates in book order, each by a test run, and the first that opens it is
// used. An archive none opens gets the field's password and fails on its own, naming itself.
namespace BatchPasswords {

struct Request {
    QStringList archives;
    // As in the field; none when it is empty.
    std::optional<QString> typed;
    // Each archive's password book candidates, in the archives' order; none while the book is off.
    QList<QStringList> candidates;
    // Whether each archive is asked if it is encrypted even with nothing to try: to remember the typed
    // password only for an archive that needed it.
    bool probeEvery = false;
};

struct Choice {
    ExtractionPasswords passwords;
    // Which archives were found encrypted, in the archives' order.
    QList<bool> encrypted;
};

// Runs on a worker; `foundInBook` hears of each password a book candidate gave (not the typed one) as
// soon as it is known. An archive the probe cannot read (a set missing a volume) is taken as plain and
// fails in the extraction, on its own.
Choice choose(PasswordProbing& probing, const Request& request, const CancellationToken& token,
              const std::function<void(const QString&)>& foundInBook = {});

}  // namespace BatchPasswords
