#pragma once
// The cloning program's environment: the single-instance guard and every
// setting that survives a restart.
//
// The settings live in the current user's settings store (an INI file under
// the configuration folder, see platform/base/Settings.h). They are read
// once, when the environment is built by the instance that may start, kept
// in the members below for the whole run (the rest of the program reads and
// changes them directly), and written back when the environment goes, again
// only by the instance that holds the instance lock.
#include "core/cmcRecent.h"
#include "platform/base/Settings.h"
#include "platform/base/SingleInstance.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>

// The remembered placement of a resizable list window, by window name.
struct dst_EditFormPos {
    std::string Name;
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t GridCol = -1;
    int32_t GridRow = -1;
    int32_t LeftCol = -1;
    int32_t TopRow = -1;
    int32_t WindowState = 0;
    int32_t Open = 0;
};

class indEnviron {
public:
    static constexpr const char* MutexName = "Vosk KT-W8840PX APP Exclusive Mutex";
    static constexpr const char* SettingsKeyName = "Software\\Vosk\\KT-W8840PX";
    // The settings marker: the settings are valid, and saved, only with it.
    static constexpr int32_t ValidMarker = 753951;
    static constexpr int RecentCapacity = 10;
    // The width of the tree panel until the user sets another.
    static constexpr int32_t DefaultSplitterV = 200;
    static constexpr const char* RefusalText = "Application Error. Check to see if application already running.";

    // Takes the instance lock of the given name; when this instance may
    // start, loads the settings from the store of settingsKey (defaults for
    // whatever is missing); otherwise shows the refusal and loads nothing.
    // The screen size gives the default window bounds.
    indEnviron(const std::string& mutexName, const std::string& settingsKey, int screenWidth, int screenHeight);
    // Saves the settings when this instance holds the lock and they are
    // valid; then releases the lock.
    ~indEnviron();
    indEnviron(const indEnviron&) = delete;
    indEnviron& operator=(const indEnviron&) = delete;

    // True when this instance holds the lock (or no lock could be made at
    // all); the program quits otherwise.
    bool IsStartAllowed() const { return m_startAllowed; }

    // Reads every setting from the store and applies the load ranges; a
    // missing or unreadable integer (a missing section included) gives all
    // defaults at once.
    void Load();
    // Writes every setting to the store and the store to its file; a failed
    // write leaves the previous file as it was and is not reported.
    void Save();
    // All defaults; the view type keeps its value.
    void SetDefaults();

    // The placement of a window: from the list, else (with valid settings)
    // read once from the store; nullptr when there is none.
    dst_EditFormPos* EditFormPosition(const std::string& name) { return FindEditForm(name); }
    dst_EditFormPos* FindEditForm(const std::string& name);
    // Stores a placement; its record moves to, or is created at, the front
    // of the list.
    dst_EditFormPos* SetEditFormPosition(const std::string& name, int32_t left, int32_t top, int32_t width,
                                         int32_t height, int32_t gridCol, int32_t gridRow, int32_t leftCol,
                                         int32_t topRow, int32_t windowState, int32_t open);

    // Store operations on any key below the settings key, named by its full
    // path ("Software\Vosk\KT-W8840PX\Display\Bank\colwidth"). They work on
    // the store in memory, which reaches its file with the settings at exit.
    // ReadInteger gives -1 when the key or the value does not exist (or the
    // value is no integer); WriteInteger creates the key when missing;
    // DeleteKey removes the subkey (and the keys below it).
    int32_t ReadInteger(const std::string& key, const std::string& valueName) const;
    void WriteInteger(const std::string& key, int32_t value, const std::string& valueName);
    void DeleteKey(const std::string& key, const std::string& subkey);

    const std::string& GetMutexName() const { return m_mutexName; }
    const std::string& GetSettingsKey() const { return m_settingsKey; }

    // The settings.
    cmcRecent RecentFiles{RecentCapacity};
    int32_t BBT = 0;                 // settings marker
    int32_t FontSizePercentage = 0;  // sheet font size, percent
    int32_t ToolbarVisible = 0;      // 0 or 1
    int32_t ViewType = 0;            // 0 or 1
    int32_t FontSizePrinter = 0;     // points
    int32_t ComPort = 0;             // 1 to 256
    int32_t ComSpeedHigh = 0;        // clone data at 38400 instead of 9600 baud
    std::string ClonePassword;       // never stored
    std::string CurrentDirectory;    // folder of the last opened or saved file
    int32_t Left = 0;                // the main window's normal bounds
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t SplitterV = 0;           // width of the tree panel
    int32_t ModelType = 0;           // 0 LMR, 1 PMR
    int32_t Language = 0;            // line of the language list
    int32_t PriorityRemoval = 1;     // fixed options
    int32_t RotaryLimit = 1;
    int32_t KeyCRemoval = 0;
    std::string MakerWord;           // the word that enters the maker mode
    std::string CustomerWord;        // the word of the customer-specific mode; never stored

private:
    bool LoadValues();

    std::string m_mutexName;
    std::string m_settingsKey;
    int m_screenWidth;
    int m_screenHeight;
    std::unique_ptr<plat::SingleInstance> m_instance;
    bool m_startAllowed = false;
    plat::SettingsStore m_store;
    std::list<dst_EditFormPos> m_editForms; // newest first
};

// The program's environment. It is made at run time, after the application
// object, by an indEnvironHolder; tests make their own.
extern indEnviron* g_Environ;

// Makes an environment with the program's instance lock and settings key,
// installs it as g_Environ, and puts the previous one back when it goes.
class indEnvironHolder {
public:
    indEnvironHolder(int screenWidth, int screenHeight);
    ~indEnvironHolder();
    indEnvironHolder(const indEnvironHolder&) = delete;
    indEnvironHolder& operator=(const indEnvironHolder&) = delete;

    indEnviron& Get() { return *m_environ; }

private:
    std::unique_ptr<indEnviron> m_environ;
    indEnviron* m_previous;
};
