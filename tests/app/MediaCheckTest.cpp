// What the game says at start-up about each broken media file: one row per file and damage, each
// on a scratch copy of the build's media with just that file broken. Each row starts the game's
// application once (the engine's root lives until the process ends): rows run one per process.
#include "ScratchFolder.h"
#include "TestCore.h"

#include <OgreException.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Damage
{
    Missing,
    Empty,
    // The first half of the file, as an interrupted copy leaves it.
    Half,
    // Replaced by the row's text.
    Text,
};

enum class Outcome
{
    // The game's own report ends the start: the media check's, one line per file, or the GUI
    // library's parse error with the file it was reading.
    Refused,
    // The engine's own exception, by its description.
    EngineError,
    // The game starts, and its log holds the row's line.
    Plays,
};

// A mesh file's outline: header chunk id and version line, then the mesh chunk's id and length.
std::string meshOutline(const std::string& meshChunk)
{
    return std::string("\x00\x10", 2) + "[MeshSerializer_v1.100]\n" + meshChunk;
}

struct Row
{
    const char* name;
    const char* file;
    Damage damage;
    std::string text;
    Outcome outcome;
    std::string expected;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << (*row.file ? row.file : "nothing broken");
}

const char* const NOT_FOUND = "not found in the folders resources_d.cfg names";

const std::vector<Row> ROWS = {
    // Nothing broken: the copy itself is whole, so every other row's report is its file's doing.
    {"NothingBroken", "", Damage::Missing, "", Outcome::Plays, "Start-up: physics world"},

    {"PlatformMeshMissing", "cube.mesh", Damage::Missing, "", Outcome::Refused,
     std::string("cube.mesh: ") + NOT_FOUND + "\n"},
    {"BarrelMeshEmpty", "Barrel.mesh", Damage::Empty, "", Outcome::Refused,
     "Barrel.mesh: empty or too short for a mesh\n"},
    // Barrels and balls load only on New and with the first shot: checked at start-up all the same.
    // A mesh chunk of 5000 bytes (0x1388, little-endian) of which the file holds the first 106.
    {"BallMeshCutShort", "sphere.mesh", Damage::Text,
     meshOutline(std::string("\x00\x30\x88\x13\x00\x00", 6) + std::string(100, '\0')), Outcome::Refused,
     "sphere.mesh: cut short: its mesh needs 5000 bytes, the file has 106\n"},
    {"BallMeshNotAMesh", "sphere.mesh", Damage::Text, "solid sphere\nendsolid\n", Outcome::Refused,
     "sphere.mesh: not a mesh file (no mesh header)\n"},
    {"BarrelMeshHeaderOnly", "Barrel.mesh", Damage::Text, meshOutline(""), Outcome::Refused,
     "Barrel.mesh: cut short after its header\n"},
    {"BarrelMeshNoMeshChunk", "Barrel.mesh", Damage::Text, meshOutline(std::string("\x00\x20\x06\x00\x00\x00", 6)),
     Outcome::Refused, "Barrel.mesh: not a mesh file (no mesh after the header)\n"},

    {"BarrelsMaterialMissing", "barrels.material", Damage::Missing, "", Outcome::Refused,
     std::string("barrels.material: ") + NOT_FOUND + "\n"},
    {"AimMaterialEmpty", "aim.material", Damage::Empty, "", Outcome::Refused,
     "aim.material: does not define the materials Barrels/LandingRing, Barrels/LandingArc\n"},
    // Cut short in its second material: the ones it no longer defines, in the game's order.
    {"BarrelsMaterialCutShort", "barrels.material", Damage::Text,
     "material Examples/Rockwall\n{\n}\nmaterial WoodPallet\n{\n    technique\n", Outcome::Refused,
     "barrels.material: does not define the materials WoodPallet, RustyBarrel, Examples/GrassFloor, "
     "Examples/BumpyMetal\n"},
    {"AimMaterialUnknownWord", "aim.material", Damage::Text,
     "material Barrels/LandingRing\n{\n    technique\n    {\n        pas\n        {\n        }\n    }\n}\n",
     Outcome::Refused,
     "aim.material: line 5: unexpected token 'pas'. If this is a legacy script you must prepend the type (e.g. "
     "font, overlay).; line 5: unexpected token token \"pas\" is not recognized; does not define the materials "
     "Barrels/LandingArc\n"},

    {"RustTextureMissing", "rust.png", Damage::Missing, "", Outcome::Refused,
     std::string("rust.png: ") + NOT_FOUND + " (material RustyBarrel)\n"},
    {"GrassTextureEmpty", "grass.png", Damage::Empty, "", Outcome::Refused,
     "grass.png: cannot be read as an image: Error decoding image: unknown image type\n"},
    {"RustTextureHalf", "rust.png", Damage::Half, "", Outcome::Refused,
     "rust.png: cannot be read as an image: Error decoding image: outofdata\n"},
    {"RockTextureNotAPicture", "rock_wall.png", Damage::Text, "rock\n", Outcome::Refused,
     "rock_wall.png: cannot be read as an image: Error decoding image: unknown image type\n"},

    {"StatisticsOverlayMissing", "DebugOverlay.overlay", Damage::Missing, "", Outcome::Refused,
     std::string("DebugOverlay.overlay: ") + NOT_FOUND + "\n"},
    {"CrosshairOverlayEmpty", "Crosshair.overlay", Damage::Empty, "", Outcome::Refused,
     "Crosshair.overlay: does not define the overlay Barrels/Crosshair\n"},
    {"StatisticsOverlayHalf", "DebugOverlay.overlay", Damage::Half, "", Outcome::Refused,
     "DebugOverlay.overlay: does not define the overlay Core/DebugOverlay\n"},

    // The statistics overlay names the font: the font's file is the one to blame.
    {"FontScriptMissing", "DebugFont.fontdef", Damage::Missing, "", Outcome::Refused,
     std::string("DebugFont.fontdef: ") + NOT_FOUND + "\n"},
    {"FontScriptEmpty", "DebugFont.fontdef", Damage::Empty, "", Outcome::Refused,
     "DebugFont.fontdef: defines no font\n"},
    {"FontScriptHalf", "DebugFont.fontdef", Damage::Half, "", Outcome::Refused, "DebugFont.fontdef: defines no font\n"},

    // The GUI library looks its files up through the engine, which names the one it cannot find;
    // its own parse errors name no file, so the game adds the one opened last.
    {"GuiSchemeMissing", "TaharezLook.scheme", Damage::Missing, "", Outcome::EngineError,
     "Cannot locate resource TaharezLook.scheme in resource group schemes."},
    {"GuiSchemeEmpty", "TaharezLook.scheme", Damage::Empty, "", Outcome::Refused,
     "TaharezLook.scheme: XML Parsing error 'no element found' at line 1"},
    {"GuiImagesetCutShort", "TaharezLook.imageset", Damage::Text,
     "<?xml version=\"1.0\" ?>\n<Imageset name=\"TaharezLook\" imagefile=\"TaharezLook.png\"", Outcome::Refused,
     "TaharezLook.imageset: XML Parsing error 'unclosed token' at line 2"},
    {"GuiLookMissing", "TaharezLook.looknfeel", Damage::Missing, "", Outcome::EngineError,
     "Cannot locate resource TaharezLook.looknfeel in resource group looknfeels."},
    {"GuiLookCutShort", "TaharezLook.looknfeel", Damage::Text, "<?xml version=\"1.0\" ?>\n<Falagard version=\"7\">\n",
     Outcome::Refused, "TaharezLook.looknfeel: XML Parsing error 'no element found' at line 3"},
    {"GuiFontMissing", "DejaVuSans-10.font", Damage::Missing, "", Outcome::EngineError,
     "Cannot locate resource DejaVuSans-10.font in resource group fonts."},
    {"GuiFontNotXml", "fkp-16.font", Damage::Text, "font fkp 16\n", Outcome::Refused,
     "fkp-16.font: XML Parsing error 'syntax error' at line 1"},

    // A sound is no reason to refuse play: that one effect stays silent.
    {"ShotSoundMissing", "shot.wav", Damage::Missing, "", Outcome::Plays,
     std::string("Sound: shot.wav: ") + NOT_FOUND + "; that sound stays silent"},
    {"BonusSoundNotASound", "bonus.wav", Damage::Text, "RIFF\n", Outcome::Plays,
     "Sound: bonus.wav: Format not recognised.; that sound stays silent"},
};

// A working directory of the row's own, entered for the test: the run directory's plug-in list and a
// resource list naming folders that hold links to the build's media files, the row's file broken.
class MediaCheckTest : public ScratchFolderTest, public ::testing::WithParamInterface<Row>
{
protected:
    void SetUp() override
    {
        ScratchFolderTest::SetUp();
        mRunDir = fs::current_path();
        const Row& row = GetParam();
        std::ifstream resources("resources_d.cfg");
        std::ofstream copy(mFolder / "resources_d.cfg");
        std::string line;
        int folders = 0;
        bool broken = false;
        const std::string location = "FileSystem=";
        while (std::getline(resources, line)) {
            if (line.compare(0, location.size(), location) == 0) {
                const fs::path media = mFolder / ("media" + std::to_string(++folders));
                fs::create_directory(media);
                for (const fs::directory_entry& entry : fs::directory_iterator(line.substr(location.size()))) {
                    if (!entry.is_regular_file())
                        continue;
                    if (entry.path().filename() == row.file) {
                        brokenCopy(row, entry.path(), media / row.file);
                        broken = true;
                    } else {
                        fs::create_symlink(entry.path(), media / entry.path().filename());
                    }
                }
                line = location + media.string();
            }
            copy << line << "\n";
        }
        ASSERT_GT(folders, 0) << "no media folders in " << (mRunDir / "resources_d.cfg");
        ASSERT_TRUE(broken || !*row.file) << row.file << " is in none of the media folders";
        fs::copy_file("plugins_d.cfg", mFolder / "plugins_d.cfg");
        fs::current_path(mFolder);
    }
    void TearDown() override
    {
        if (!mRunDir.empty())
            fs::current_path(mRunDir);
        ScratchFolderTest::TearDown();
    }

    // A file of its own in the scratch folder: nothing is ever written through a link to the build's media.
    static void brokenCopy(const Row& row, const fs::path& original, const fs::path& copy)
    {
        switch (row.damage) {
        case Damage::Missing:
            break;
        case Damage::Empty:
            write(copy, "");
            break;
        case Damage::Half: {
            const std::string whole = contents(original);
            write(copy, whole.substr(0, whole.size() / 2));
            break;
        }
        case Damage::Text:
            write(copy, row.text);
            break;
        }
    }

    fs::path mRunDir;
};

TEST_P(MediaCheckTest, StartUpNamesTheBrokenFile)
{
    const Row& row = GetParam();
    if (row.outcome == Outcome::Plays)
        setenv("ALSOFT_DRIVERS", "null", 1); // a device that takes the sounds, so that they are read

    std::string refused, engineError;
    bool started = false;
    {
        TestCore core;
        try {
            started = core.start();
        } catch (const Ogre::Exception& e) {
            engineError = e.getDescription();
        } catch (const std::exception& e) {
            refused = e.what();
        }
    }

    switch (row.outcome) {
    case Outcome::Refused:
        EXPECT_EQ(row.expected, refused);
        EXPECT_EQ("", engineError);
        break;
    case Outcome::EngineError:
        EXPECT_EQ(row.expected, engineError);
        EXPECT_EQ("", refused);
        break;
    case Outcome::Plays: {
        EXPECT_TRUE(started) << refused << engineError;
        const std::string log = contents("Ogre.log");
        EXPECT_NE(std::string::npos, log.find(row.expected)) << log;
        EXPECT_NE(std::string::npos, log.find("Sound: playing through")) << "no sound device: no sound was read";
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MediaCheckTest, ::testing::ValuesIn(ROWS),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

} // namespace
