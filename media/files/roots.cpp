// roots.cpp — where the program's files are: the data root it reads (fonts,
// images, sounds) and the player root it writes (settings, log, scores,
// screenshots). Portable: one Files/ tree, in the start folder or beside the
// executable, is both. Installed: the data tree is read-only or built in, and
// the player's files go to the folder the system keeps for them.
#include <cerrno>
#include <cstring>

#include "media/core.h"
#include "media/files/os.h"
#include "media/media.h"
#include "media/sdl/services.h"

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
  } else if (const std::string beside = JoinPath(SdlBasePath(), tree); FileType(beside) == 2) {
    data = beside;
  }
  // No tree anywhere: everything is read and written in the start folder.
  if (data.empty()) return SetFileRoots(here, here);
  if (!installed && OsCanWrite(data)) return SetFileRoots(data, data);

  // The system's folder for this player's files, made if missing.
  std::string why;
  std::string player = SdlPrefPath(app, why);
  if (player.empty()) {
    player = here;
    ReportError("no folder for the player's files (" + why + "): using " + here);
  } else {
    std::string game = gameFolder;
    while (!game.empty() && OsSeparator(game.back())) game.pop_back();
    if (!game.empty() && !OsMakeFolder(JoinPath(player, game)))
      ReportError(JoinPath(player, game) + ": " + std::strerror(errno));
  }
  SetFileRoots(data, player);
}
