#include "rule_name_text.h"

#include <QByteArray>

QString RuleNameText(const std::string& name) {
    const QByteArray bytes(name.data(), qsizetype(name.size()));
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes)
        return text;
    return QString::fromLatin1(bytes);
}

QVariant RuleNameData(const std::string& name) {
    return QByteArray(name.data(), qsizetype(name.size()));
}

std::string RuleNameOf(const QVariant& data) {
    return data.toByteArray().toStdString();
}
