#pragma once

#include "PasswordHash.h"

#include <QDate>
#include <QVariantList>

namespace kivo {

class Connection;

// Rows a new database starts with: the shop's own details, the preferences and the
// customization (one row each) and the administrator, user 1. Dated `today`.
void SeedDefaults(Connection& connection, const QDate& today);

// A small, believable shop on top of the defaults: product groups with savings, about fifty
// products with stock, customers, suppliers, pay types and cash-book accounts.
void SeedDemo(Connection& connection, const QDate& today);

// A password or access code of the seed rows as the tables keep it: its hash. Each is hashed
// once per run, so a run that makes many databases (the tests) does not pay the slow hash for
// every one; a shop's folder is set up by a run of its own.
QString SeedSecret(const char* secret, PasswordHash::LetterCase letterCase);

// The administrator's login and password in a new database.
inline constexpr const char* AdministratorLogin = "Chief";
inline constexpr const char* AdministratorPassword = "kivo";

} // namespace kivo

namespace kivo {
// Inserts one row with every column of the table, in table order (seed and test data).
void InsertRow(Connection& connection, const QString& table, const QVariantList& values);
} // namespace kivo
