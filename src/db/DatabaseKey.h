// The password that protects the prepared database file. The program and the
// prepared-database maker both take it from here.
#pragma once

inline constexpr char DatabasePassword[] = "OrchidVantage";
