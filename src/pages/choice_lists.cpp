#include "pages/choice_lists.h"

namespace {
QStringList list(std::initializer_list<const char*> items)
{
    QStringList out;
    for (const char* s : items)
        out << QString::fromUtf8(s);
    return out;
}
} // namespace

namespace choices {
QStringList cold() { return list({"NO", "YES"}); }
QStringList sensorTypes()
{
    return list({"A/D", "V", "I", "PT01", "J", "E", "N", "T", "W", "R", "S", "B", "K", "PT100", "Cu50", "Cu100",
                 "0~50mv", "Ni120", "R470K", "BA1", "EA", "空", "PT1000", "NTC"});
}
QStringList adRate()
{
    return list({"101.1Hz 90/105ms", "84.5Hz 106/125ms", "61.6Hz 140/170ms", "30Hz 300/350ms", "15Hz 600/700ms",
                 "7.75Hz 1.2/1.4s", "3.76Hz 2.4/2.8s", "1.88Hz 4.8/5.6s"});
}
QStringList adRateFiltered()
{
    return list({"101.1Hz 360/420ms", "84.5Hz 426/498ms", "61.6Hz 584/682ms", "30Hz 1.2/1.4s", "15Hz 2.4/2.8s",
                 "7.75Hz 4.8/5.6s", "3.76Hz 9.6/11.2s", "1.88Hz 19.2/22.4s"});
}
QStringList weekDays() { return list({"一", "二", "三", "四", "五", "六", "日"}); }
QStringList adFilter() { return list({"不滤波", "滤波"}); }
QStringList masterSlave() { return list({"从", "主"}); }
QStringList parity() { return list({"无校验", "奇校验", "偶校验", "Space校验", "Mark校验"}); }
QStringList dataBits() { return list({"8位", "7位"}); }
QStringList stopBits() { return list({"1位", "2位"}); }
QStringList baudRates()
{
    return list({"1200bps", "2400bps", "4800bps", "9600bps", "19200bps", "38400bps", "57600bps", "115200bps",
                 "500K bps", "1M bps"});
}
QStringList protocols() { return list({"Debug", "ModbusRTU", "ModbusASII", "Adam", "Panasoic", "S7-200", "OMRON"}); }
} // namespace choices
