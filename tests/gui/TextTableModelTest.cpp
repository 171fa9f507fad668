#include <string>

#include <QAbstractItemModelTester>
#include <QTest>

#include "gui/Cp1252.h"
#include "gui/TextTableModel.h"
#include "shared/ListColumns.h"
#include "shared/TextTable.h"

using ombrel::Align;
using ombrel::ListColumn;
using ombrel::TextTable;
using ombrel::gui::FromCp1252;
using ombrel::gui::TextTableModel;
using ombrel::gui::ToCp1252;

class TextTableModelTest : public QObject {
  Q_OBJECT

 private slots:
  void cp1252() {
    // Every byte round-trips through the window's texts (the code page itself
    // is checked with the shared library).
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    QCOMPARE(FromCp1252(all).size(), 256);
    QVERIFY(ToCp1252(FromCp1252(all)) == all);
    QVERIFY(ToCp1252(QString::fromUtf8("Zo\xC3\xAB \xE2\x82\xAC")) == "Zo\xEB \x80");
    // A Greek letter, a CJK character and an emoji (a surrogate pair): one "?" each.
    QVERIFY(ToCp1252(QString::fromUtf8("a\xCE\xB1"
                                       "b\xE4\xB8\xAD"
                                       "c\xF0\x9F\x98\x80")) == "a?b?c?");
    QVERIFY(ToCp1252(QString()).empty());
  }

  void modelViewsTheTable() {
    static constexpr ListColumn kColumns[3] = {{0, "Name", 2200, Align::kLeft},
                                               {1, "Dmg", 1000, Align::kRight},
                                               {2, "Extra", 1000, Align::kRight}};
    TextTable table(2);  // one column fewer than the list shows
    TextTableModel model(table, kColumns);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    const int left = Qt::AlignLeft | Qt::AlignVCenter, right = Qt::AlignRight | Qt::AlignVCenter;
    QVERIFY(model.rowCount() == 0 && model.columnCount() == 3);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString() +
                 model.headerData(2, Qt::Horizontal).toString(),
             QStringLiteral("NameExtra"));
    QVERIFY(!model.headerData(3, Qt::Horizontal).isValid() &&
            !model.headerData(0, Qt::Vertical).isValid());
    QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), right);

    model.BeginChange();
    table.AddRow({"Zo\xEB`s pet", "1,234"});
    table.AddRow({" [ Total ] ", ""});
    model.EndChange();
    QVERIFY(model.rowCount() == 2 && model.rowCount(model.index(0, 0)) == 0);  // a flat list
    QStringList cells;
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 3; ++c) cells << model.data(model.index(r, c)).toString();
    QCOMPARE(cells, (QStringList{QString::fromUtf8("Zo\xC3\xAB`s pet"), "1,234", "", " [ Total ] ",
                                 "", ""}));
    QCOMPARE(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt(), left);
    QCOMPARE(model.data(model.index(0, 2), Qt::TextAlignmentRole).toInt(), right);
    QVERIFY(!model.data(model.index(0, 0), Qt::EditRole).isValid() &&
            !(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

    model.BeginChange();
    table.Clear();
    model.EndChange();
    QCOMPARE(model.rowCount(), 0);
  }
};

QTEST_GUILESS_MAIN(TextTableModelTest)
#include "TextTableModelTest.moc"
