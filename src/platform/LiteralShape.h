#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace kivo {

// A text literal as written ("'it''s'") and as a value ("it's").
QString Unquoted(QStringView quoted);

// The statement with each text literal emptied ("... Where PCode=''") and the literals as
// written, found without the tokenizer: look-ups that differ only in their literals share
// what the first of them learned. False for a statement whose text outside the literals could
// make a literal's content change its translation or its reading (a "+", a Like, a comment,
// brackets, quoted names, parameters, dates), which then takes the long way.
bool LiteralShape(const QString& source, QString& shape, std::vector<QStringView>& quoted);

} // namespace kivo
