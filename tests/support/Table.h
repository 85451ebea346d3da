// SPDX-License-Identifier: BSD-3-Clause

#pragma once

#include <QTest>

#include <tuple>
#include <utility>

// A QtTest data table whose columns are known by position: columns() declares them in a _data
// function, row() adds a named row, and fetch() gives the current row's values to the test
// function, typically as `const auto [a, b] = Cases::fetch();`.
template<typename... Columns> struct Table
{
    static void columns()
    {
        int i = 0;
        (QTest::addColumn<Columns>(name(i++)), ...);
    }
    static void row(const QString& tag, const Columns&... values)
    {
        (QTest::newRow(qPrintable(tag)) << ... << values);
    }
    static std::tuple<Columns...> fetch() { return fetch(std::index_sequence_for<Columns...>()); }

private:
    template<std::size_t... I> static std::tuple<Columns...> fetch(std::index_sequence<I...>)
    {
        return {*static_cast<Columns*>(QTest::qData(name(int(I)), qMetaTypeId<Columns>()))...};
    }

    // QtTest keeps the pointer of a column's name, so the names are literals.
    static const char* name(int i)
    {
        static const char* const names[] = {"c0", "c1", "c2", "c3", "c4", "c5", "c6", "c7"};
        static_assert(sizeof...(Columns) <= 8);
        return names[i];
    }
};
