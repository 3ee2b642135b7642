// roots.cpp — where the program's files are: the data root it reads (fonts,
// images, sounds) and the player root it writes (settings, log, scores,
// screenshots). Portable: one Files/ tree, in the start folder or beside the
// executable, is both. Installed: the data tree is read-only or built in, and
// the player's files go to the folder the system keeps for them.
#include <SDL.h>

#include <cerrno>
#include <cstring>

#include "media/core.h"
#include "media/files_os.h"
#include "media/media.h"

namespace {

// The folder SDL names for the executable, or "" when it cannot tell.
std::string ExecutableFolder() {
  char* base = SDL_GetBasePath();
  if (!base) return {};
  std::string folder = base;
  SDL_free(base);
  return folder;
}

// The system's folder for this player's files of `app`, made if missing; "" when there is none.
std::string PlayerFolder(const std::string& app) {
  char* pref = SDL_GetPrefPath("", app.c_str());
  if (!pref) return {};
  std::string folder = pref;
  SDL_free(pref);
  return folder;
}

}  // namespace

void SetFileRoots(const std::string& data, const std::string& player) {
  g_media.files.dataRoot = data;
  g_media.files.playerRoot = player;
}

std::string DataRoot() { return g_media.files.dataRoot; }
std::string PlayerRoot() { return g_media.files.playerRoot; }
std::string DataPath(const std::string& name) { return JoinPath(g_media.files.dataRoot, name); }
std::string PlayerPath(const std::string& name) { return JoinPath(g_media.files.playerRoot, name); }

std::string InstalledDataRoot() { return WENHOD_INSTALLED_DATA; }

void FindFileRoots(const std::string& tree, const std::string& app, const std::string& gameFolder,
                   const std::string& installedData) {
  const std::string here = CurrentDir();
  std::string data;
  bool installed = false;
  if (!installedData.empty() && FileType(installedData) == 2) {
    data = installedData;
    installed = true;
  } else if (FileType(tree) == 2) {
    data = JoinPath(here, tree);
  } else if (const std::string beside = JoinPath(ExecutableFolder(), tree); FileType(beside) == 2) {
    data = beside;
  }
  // No tree anywhere: everything is read and written in the start folder, as ever.
  if (data.empty()) return SetFileRoots(here, here);
  if (!installed && OsCanWrite(data)) return SetFileRoots(data, data);

  std::string player = PlayerFolder(app);
  if (player.empty()) {
    player = here;
    ReportError("no folder for the player's files (" + std::string(SDL_GetError()) + "): using " + here);
  } else {
    std::string game = gameFolder;
    while (!game.empty() && game.back() == '/') game.pop_back();
    if (!game.empty() && !OsMakeFolder(JoinPath(player, game)))
      ReportError(JoinPath(player, game) + ": " + std::strerror(errno));
  }
  SetFileRoots(data, player);
}
