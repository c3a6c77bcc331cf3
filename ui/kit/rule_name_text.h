#pragma once

#include <QString>
#include <QVariant>

#include <string>

// Rule names are stored as bytes, mostly UTF-8; a name written in Latin-1 is no valid UTF-8
// and would come back changed from a conversion to text. Lists therefore keep the stored
// bytes beside the text they show, and everything that finds, applies or stores a rule works
// on those bytes.

// The text a name is shown as: its UTF-8 reading when that gives the same bytes back, or
// else its Latin-1 letters.
QString RuleNameText(const std::string& name);

// The stored bytes, kept as a list item's data, and read back from it.
QVariant RuleNameData(const std::string& name);
std::string RuleNameOf(const QVariant& data);
