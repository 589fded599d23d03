#include "settings/settings_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velomast;

TEST(SettingsFile, MissingFileGivesDefaultsAndWritesGoStraightToDisk) {
    QTemporaryDir dir;
    const QString path = dir.filePath("velomast.ini");
    TSettingsFile ini(path);
    EXPECT_TRUE(ini.ReadBool("View", "NViewDirection", true));
    EXPECT_EQ(ini.ReadInteger("View", "GridMode", 2), 2);
    EXPECT_EQ(ini.ReadString("Main", "Language", "ru"), "ru");
    EXPECT_FALSE(QFile::exists(path));
    ini.WriteBool("View", "NViewGrid", true);
    ASSERT_TRUE(QFile::exists(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("NViewGrid=1"));
}

TEST(SettingsFile, BooleansAreReadLeniently) {
    QTemporaryDir dir;
    const QString path = dir.filePath("v.ini");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[View]\nA=0\nB=1\nC=7\nD=-1\nE=yes\nF= 1 \n[Main]\nN=12x\n");
    }
    TSettingsFile ini(path);
    EXPECT_FALSE(ini.ReadBool("View", "A", true));
    EXPECT_TRUE(ini.ReadBool("View", "B", false));
    EXPECT_TRUE(ini.ReadBool("View", "C", false));
    EXPECT_TRUE(ini.ReadBool("View", "D", false));
    EXPECT_FALSE(ini.ReadBool("View", "E", false)); // not a number: the default
    EXPECT_TRUE(ini.ReadBool("View", "F", false));
    EXPECT_EQ(ini.ReadInteger("Main", "N", 5), 5);
}

TEST(SettingsFile, RecentFilesKeepTheirOrderAndLimit) {
    QTemporaryDir dir;
    const QString path = dir.filePath("v.ini");
    QStringList files;
    for (int i = 9; i >= 0; --i) files << QStringLiteral("/home/u/Антенны/a%1, b.maa").arg(i);
    {
        TSettingsFile ini(path);
        ini.WriteRecentFiles(files, 7);
    }
    TSettingsFile ini(path);
    const QStringList back = ini.ReadRecentFiles();
    EXPECT_EQ(back, files.mid(0, 7));
    ini.WriteRecentFiles({}, 7);
    EXPECT_TRUE(ini.ReadRecentFiles().isEmpty());
}

TEST(SettingsFile, DefaultPathIsBesideTheProgramWhenWritable) {
    const QString p = TSettingsFile::DefaultPath();
    EXPECT_TRUE(p.endsWith(".ini"));
    EXPECT_TRUE(p.startsWith(QCoreApplication::applicationDirPath()));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
