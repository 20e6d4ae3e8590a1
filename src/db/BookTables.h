// The tables of a book and all their columns, in the order the schema gives them, with the
// column that keys each row. The open check, the copy of a book between a file and a
// server, and the dialect's spelling of names all read this one list.
#pragma once

#include <initializer_list>

struct BookTable
{
    const char *table;
    // The key: an integer that names one row. Parameter has none in the file (the engine's
    // own row number serves there); on a server it is the column ParameterIndex, which
    // only the server book has.
    const char *key;
    std::initializer_list<const char *> columns;
};

inline const BookTable BookTables[] = {
    {"Account", "AccountIndex",
     {"AccountIndex", "AccountName", "AccountBase", "AccountType", "AccountPower"}},
    {"Customer", "CustomerIndex",
     {"CustomerIndex", "CustomerName", "CustomerRegion", "CustomerPhone", "CustomerFax",
      "CustomerContact", "CustomerHandPhone", "CustomerEmail", "CustomerQQ", "CustomerAddress",
      "CustomerRemark", "CustomerPower"}},
    {"MoneyTable", "MoneyIndex",
     {"MoneyIndex", "MoneyAccount", "MoneyRecordTime", "MoneyCreateTime", "MoneyUser",
      "MoneyReason", "MoneyIn", "MoneyOut", "MoneySum", "MoneyType", "MoneyToken",
      "MoneyRemark", "MoneySerial", "MoneyMan", "MoneyPower"}},
    {"Parameter", nullptr, {"ParameterType", "ParameterValue"}},
    {"Setting", "SettingIndex", {"SettingIndex", "SettingValue"}},
    {"Power", "PowerIndex", {"PowerIndex", "PowerName", "PowerKey"}},
    {"PrintTable", "PrintIndex",
     {"PrintIndex", "PrintEnable", "PrintValue1", "PrintValue2", "PrintValue3", "PrintValue4",
      "PrintValue5", "PrintValue6", "PrintValue7", "PrintValue8", "PrintValue9",
      "PrintValue10"}},
    {"PrintReport", "ReportIndex",
     {"ReportIndex", "ReportEnable", "ReportGrid1", "ReportGrid2", "ReportGrid3", "ReportGrid4",
      "ReportGrid5", "ReportGrid6", "ReportGrid7", "ReportGrid8"}},
};

// The key column Parameter has on a server.
inline constexpr char ServerParameterKey[] = "ParameterIndex";
