#include "app/user_guide.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kelvora {
namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

// The two layouts the program runs from: the build folder (build/app/kelvora beside its
// guide) and an installation (PREFIX/bin/kelvora with PREFIX/share/kelvora/user-guide.html).
TEST(UserGuideTest, FoundBesideTheProgramOrInTheInstalledDataFolder)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString bin = prefix.filePath("bin");
    QDir().mkpath(bin);
    const QString beside = bin + "/user-guide.html";
    const QString installed = prefix.filePath("share/kelvora/user-guide.html");

    EXPECT_EQ(UserGuidePath(bin), beside); // neither: the browser will say what is missing
    Touch(installed);
    EXPECT_EQ(UserGuidePath(bin), installed);
    Touch(beside);
    EXPECT_EQ(UserGuidePath(bin), beside);
}

} // namespace
} // namespace kelvora
