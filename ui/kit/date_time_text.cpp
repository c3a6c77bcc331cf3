#include "date_time_text.h"

#include <QDateTime>
#include <QLocale>

QString LocalDateTimeText(std::int64_t unixSeconds, bool omitMidnight) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::LocalTime);
    const QLocale locale;
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    if (omitMidnight && when.time() == QTime(0, 0))
        return text;
    // The zone's name ("MESZ") says nothing here: every time shown is local.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return text + " " + locale.toString(when.time(), format.trimmed());
}
