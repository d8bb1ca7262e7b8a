#pragma once

#include <functional>
#include <map>
#include <memory>

class ZivoViewController;

// Every screen the application delegate owns, one instance each.
enum class Screen {
    MusicMain,
    MusicAllList,
    MusicList,
    MusicSubList,
    PlayList,
    PlayListFileList,
    PlaybackList,
    PlaybackSubList,
    FileSelector,
    FileSelectorSub,
    FileManager,
    FileManagerSub,
    Folder,
    Webserver,
    Settings,
    Help,
    Encodings,
    MusicDetail,
    Count
};

// How the shell gets its screens without knowing their classes: the program registers a
// maker per screen (main.cpp), and the delegate makes each one once at start.
class ScreenFactory
{
public:
    using Maker = std::function<std::unique_ptr<ZivoViewController>()>;

    void add(Screen which, Maker maker) { m_makers[which] = std::move(maker); }
    bool has(Screen which) const { return m_makers.count(which) != 0; }
    // A new instance, or null when no maker was registered.
    std::unique_ptr<ZivoViewController> make(Screen which) const
    {
        const auto it = m_makers.find(which);
        return it == m_makers.end() ? nullptr : it->second();
    }

private:
    std::map<Screen, Maker> m_makers;
};
