#include "base/errorlog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTextStream>

void WriteErrorLog(const QString& description, const QString& tag, const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    const auto q = [](const QString& s) { return QLatin1Char('"') + s + QLatin1Char('"'); };
    QTextStream out(&f);
    out << q(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) << ','
        << q(QStringLiteral("信息")) << ',' << q(description) << ',' << q(tag) << ','
        << q(QCoreApplication::applicationName()) << '\n';
}
