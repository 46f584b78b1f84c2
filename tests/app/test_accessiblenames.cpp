// Screen readers and automated checks find every control a person can
// operate by its name, on a real display.
#include "core/catalogue/categorytable.h"
#include "gui/window/mainwindow.h"
#include "support/windowharness.h"

#include <QAccessible>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Every name in the window's accessibility tree, with its interface.
void collect(QAccessibleInterface *node, QHash<QString, QAccessibleInterface *> &names)
{
    if (!node)
        return;
    const QString name = node->text(QAccessible::Name);
    if (!name.isEmpty() && !names.contains(name))
        names.insert(name, node);
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), names);
}

} // namespace

class TestAccessibleNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyOperableControlIsNamed();
};

void TestAccessibleNames::everyOperableControlIsNamed()
{
    WindowHarness h;
    MainWindow &form = h.load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QStringList wanted = {u"全屏显示"_s, u"静音"_s,     u"播放"_s,     u"暂停"_s,
                          u"播放进度"_s, u"播放全部"_s, u"单曲循环"_s, u"自定义节目"_s,
                          u"收藏"_s,     u"历史"_s,     u"设置"_s,     u"桌面快捷"_s,
                          u"节目列表"_s, u"播放器"_s,   u"节目介绍"_s};
    for (const Category &c : CategoryTable::rows())
        wanted.append(c.tooltip);
    QHash<QString, QAccessibleInterface *> names;
    collect(QAccessible::queryAccessibleInterface(&form), names);
    for (const QString &name : wanted)
        QVERIFY2(names.contains(name), qPrintable(name));
    QCOMPARE(names.value(u"节目列表"_s)->role(), QAccessible::List);
    QCOMPARE(names.value(u"播放全部"_s)->role(), QAccessible::RadioButton);

    // The return button is there while it can be used: in full screen.
    form.enterFullScreen();
    names.clear();
    collect(QAccessible::queryAccessibleInterface(&form), names);
    QVERIFY(names.contains(u"返回"_s));
    QCOMPARE(names.value(u"返回"_s)->role(), QAccessible::Button);
}

QTEST_MAIN(TestAccessibleNames)
#include "test_accessiblenames.moc"
