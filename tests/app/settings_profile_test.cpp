// The profile on QSettings: values survive a new profile object, binary values stay bytes.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/settings_profile.h"

using namespace fendal;
using namespace fendal::app;

TEST(SettingsProfile, ValuesRoundTripThroughTheSettingsFile) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());

    const std::vector<unsigned char> layout{0x00, 0xff, 0x01, 0x80, '=', '\n', 0x00};
    {
        SettingsProfile profile;
        profile.writeString("Recent File List", "File1", "/数据/一号.fsy");
        profile.writeInt("GfxLists\\TheMainList", "Count", -7);
        profile.writeBinary("GfxLists\\TheMainList", "Columns", layout);
        profile.writeBinary("GfxLists\\TheMainList", "Empty", {});
    }
    SettingsProfile again;
    EXPECT_EQ(again.readString("Recent File List", "File1"), "/数据/一号.fsy");
    EXPECT_EQ(again.readInt("GfxLists\\TheMainList", "Count"), -7);
    EXPECT_EQ(again.readBinary("GfxLists\\TheMainList", "Columns"), layout);
    EXPECT_EQ(again.readBinary("GfxLists\\TheMainList", "Empty"), std::vector<unsigned char>{});

    // A section with a backslash is a key below another, as in the registry.
    QSettings raw("Local AppWizard-Generated Applications", "Fendal");
    EXPECT_EQ(raw.value("GfxLists/TheMainList/Count").toInt(), -7);

    EXPECT_EQ(again.readString("Recent File List", "File2"), std::nullopt);
    EXPECT_EQ(again.readInt("Recent File List", "File1"), std::nullopt);     // not a number
    EXPECT_EQ(again.readBinary("Recent File List", "File1"), std::nullopt);  // text, not bytes
}
