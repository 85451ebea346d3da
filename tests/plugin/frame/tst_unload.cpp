// SPDX-License-Identifier: BSD-3-Clause

#include <QDateTime>
#include <QLibrary>
#include <QMetaType>
#include <QPluginLoader>
#include <QPointer>
#include <QTest>

#include <dlfcn.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <memory>

// What Qt promises a host that unloads the plug-in. QPluginLoader gives a library
// PreventUnloadHint (RTLD_NODELETE) when it gets its file name. Up to Qt 6.7 (tested with 6.4)
// setLoadHints() replaces the hints, so clearing them at any time before the load lets
// unload() unmap the library. From Qt 6.8 on it only adds hints, since all loaders of one file
// share them: a host must clear them before it names the file, or the library stays mapped and
// unload() only deletes the instance. With the hints cleared in time nothing in the plug-in may
// keep the dynamic loader from unmapping it: one exported inline variable would pin it for good.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
constexpr bool qtKeepsHintsClearedLate = true;
#else
constexpr bool qtKeepsHintsClearedLate = false;
#endif

namespace {
bool mapped()
{
    void* handle = dlopen(SCHEDULE_BACKUP_PLUGIN_PATH, RTLD_LAZY | RTLD_NOLOAD);
    return handle && dlclose(handle) == 0;
}

// A loader that may unload the plug-in: the hints are cleared before the file is named.
std::unique_ptr<QPluginLoader> unloadableLoader()
{
    auto loader = std::make_unique<QPluginLoader>();
    loader->setLoadHints(QLibrary::LoadHints());
    loader->setFileName(QStringLiteral(SCHEDULE_BACKUP_PLUGIN_PATH));
    return loader;
}

// The address range the loaded plug-in occupies, from its program headers.
struct Extent
{
    quintptr start = 0;
    quintptr end = 0;
};

Extent pluginExtent()
{
    Extent extent;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            if (!info->dlpi_name || qstrcmp(info->dlpi_name, SCHEDULE_BACKUP_PLUGIN_PATH) != 0)
                return 0;
            auto* found = static_cast<Extent*>(data);
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type != PT_LOAD)
                    continue;
                const quintptr begin = info->dlpi_addr + segment.p_vaddr;
                const quintptr end = begin + segment.p_memsz;
                found->start = found->start ? qMin(found->start, begin) : begin;
                found->end = qMax(found->end, end);
            }
            return 1;
        },
        &extent);
    return extent;
}

// Keeps the unloaded plug-in's old range inaccessible, so that loading it again maps it
// elsewhere and anything still pointing into the old mapping crashes instead of finding the
// same bytes by chance.
class Fence
{
public:
    explicit Fence(Extent extent)
    {
        const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
        m_size = ((extent.end + page - 1) & ~(page - 1)) - (extent.start & ~(page - 1));
        void* wanted = reinterpret_cast<void*>(extent.start & ~(page - 1));
        m_address = mmap(wanted, m_size, PROT_NONE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
        if (m_address != wanted && m_address != MAP_FAILED)
            munmap(m_address, m_size);
        if (m_address != wanted)
            m_address = nullptr;
    }
    ~Fence()
    {
        if (m_address)
            munmap(m_address, m_size);
    }
    Fence(const Fence&) = delete;
    Fence& operator=(const Fence&) = delete;
    bool isUp() const { return m_address != nullptr; }

private:
    void* m_address = nullptr;
    size_t m_size = 0;
};

// What a page does with a loaded plug-in: ask it for the next backup start through its
// meta-object, as QML does.
bool invokeNextBackupTime(QObject* plugin, qulonglong* next)
{
    const QDateTime monday(QDate(2024, 1, 1), QTime(0, 0));
    return QMetaObject::invokeMethod(plugin, "getNextBackupTime", Qt::DirectConnection,
                                     Q_RETURN_ARG(qulonglong, *next), Q_ARG(QDateTime, monday));
}
} // namespace

class tst_Unload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A host that registered the plug-in's class with the meta-type system (QML does so for
    // every object it shows), unloaded the plug-in and loaded it again must find no type of the
    // unmapped library by name, the new instance's once registered, and call into it.
    void typesAreUsableAfterReload_data()
    {
        QTest::addColumn<bool>("registerType");
        QTest::newRow("class type registered before unload") << true;
        QTest::newRow("class type never registered") << false;
    }

    void typesAreUsableAfterReload()
    {
        QFETCH(bool, registerType);
        const auto loader = unloadableLoader();
        QObject* first = loader->instance();
        QVERIFY2(first, qPrintable(loader->errorString()));
        if (registerType)
            QVERIFY(first->metaObject()->metaType().id() > 0);
        qulonglong before = 0;
        QVERIFY(invokeNextBackupTime(first, &before));
        const Extent extent = pluginExtent();
        QVERIFY(extent.start < extent.end);
        QVERIFY(loader->unload());
        QVERIFY(!mapped());

        const Fence fence(extent);
        QVERIFY(fence.isUp());
        QObject* second = loader->instance();
        QVERIFY2(second, qPrintable(loader->errorString()));
        QVERIFY(pluginExtent().start != extent.start);
        // Nothing of the unloaded library is left in the registry; registered again, the type
        // is the new instance's.
        QVERIFY(!QMetaType::fromName("PluginScheduleBackup").isValid());
        if (registerType) {
            const QMetaType registered = second->metaObject()->metaType();
            QVERIFY(registered.id() > 0);
            const QMetaType type = QMetaType::fromName("PluginScheduleBackup");
            QCOMPARE(type, registered);
            QCOMPARE(QByteArray(type.name()), QByteArray("PluginScheduleBackup"));
        }
        qulonglong after = 0;
        QVERIFY(invokeNextBackupTime(second, &after));
        QCOMPARE(after, before);
        QVERIFY(loader->unload());
    }

    // Last: with the hints cleared too late, Qt 6.8 keeps the library mapped for good.
    void unloadsAsQtPromisesAndLoadsAgain_data()
    {
        QTest::addColumn<bool>("clearHintsFirst");
        QTest::addColumn<bool>("staysMapped");
        QTest::newRow("hints cleared before the file name") << true << false;
        QTest::newRow("hints cleared after the file name") << false << qtKeepsHintsClearedLate;
    }

    void unloadsAsQtPromisesAndLoadsAgain()
    {
        QFETCH(bool, clearHintsFirst);
        QFETCH(bool, staysMapped);
        if (!clearHintsFirst && mapped())
            QSKIP("an earlier row left the library mapped for good");
        std::unique_ptr<QPluginLoader> loader;
        if (clearHintsFirst) {
            loader = unloadableLoader();
        } else {
            loader = std::make_unique<QPluginLoader>(SCHEDULE_BACKUP_PLUGIN_PATH);
            loader->setLoadHints(QLibrary::LoadHints());
        }
        QCOMPARE(loader->loadHints().testFlag(QLibrary::PreventUnloadHint), staysMapped);
        for (int round = 0; round < 2; ++round) {
            QObject* plugin = loader->instance();
            QVERIFY2(plugin, qPrintable(loader->errorString()));
            QVERIFY(mapped());
            const QPointer<QObject> watch(plugin);
            QVERIFY(loader->unload());
            QVERIFY(watch.isNull());
            QCOMPARE(mapped(), staysMapped);
        }
    }
};

QTEST_GUILESS_MAIN(tst_Unload)
#include "tst_unload.moc"
