// Looped background sound from a WAV file or a built-in WAV, played by the window thread.
#include "platform/gui/sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryFile>
#include <QUrl>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "platform/core/annotated_mutex.h"
#include "platform/core/diagnostics.h"
#include "platform/gui/dialog.h"
#include "platform/gui/gui_thread.h"

namespace {

Mutex g_stateMutex;
SoundState g_state GUARDED_BY(g_stateMutex);

// Window thread only.
QSoundEffect* g_effect = nullptr;
std::map<int, std::unique_ptr<QTemporaryFile>> g_resourceFiles;

bool IsWave(const unsigned char* bytes, std::size_t size) {
  return size >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WAVE", 4) == 0;
}

bool FileIsWave(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  unsigned char head[12];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return IsWave(head, got);
}

// QSoundEffect plays files only: a built-in WAV is written to a temporary file once.
QString ResourceFile(int id, const ResourceEntry* entry) {
  auto& file = g_resourceFiles[id];
  if (!file) {
    file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/kestrova-sound-XXXXXX.wav"));
    if (!file->open() || file->write(reinterpret_cast<const char*>(entry->data),
                                     static_cast<qint64>(entry->size)) != static_cast<qint64>(entry->size)) {
      Diag(DiagLevel::Warning, "built-in sound %d: cannot write its temporary file", id);
      file.reset();
      return {};
    }
    file->flush();
  }
  return file->fileName();
}

bool IsNewest(unsigned long long request) {
  Lock lock(g_stateMutex);
  return request == g_state.requests;
}

void Handled(unsigned long long request) {
  Lock lock(g_stateMutex);
  if (request > g_state.handled) g_state.handled = request;
}

void Stop(unsigned long long request) {
  if (IsNewest(request) && g_effect != nullptr) g_effect->stop();
  Handled(request);
}

void Start(unsigned long long request, const QString& path, bool loop) {
  if (!IsNewest(request) || path.isEmpty()) return;
  // Without an output the toolkit would report the sound as playing: look first, and treat it as
  // no error.
  const bool device = !QMediaDevices::audioOutputs().isEmpty();
  {
    Lock lock(g_stateMutex);
    if (request == g_state.requests) g_state.deviceAvailable = device;
  }
  if (!device) {
    if (g_effect != nullptr) g_effect->stop();
    return;
  }
  if (g_effect == nullptr) g_effect = new QSoundEffect(QCoreApplication::instance());
  g_effect->stop();
  g_effect->setSource(QUrl::fromLocalFile(path));
  g_effect->setLoopCount(loop ? QSoundEffect::Infinite : 1);
  g_effect->play();
}

void Play(unsigned long long request, const QString& path, bool loop) {
  Start(request, path, loop);
  Handled(request);
}

unsigned long long Request(bool playing, bool looped, const std::string& source) {
  Lock lock(g_stateMutex);
  g_state.playing = playing;
  g_state.looped = looped;
  g_state.source = source;
  return ++g_state.requests;
}

}  // namespace

SoundState CurrentSound() {
  Lock lock(g_stateMutex);
  return g_state;
}

BOOL PlaySoundA(const char* name, HINSTANCE module, DWORD flags) {
  const bool loop = (flags & SND_LOOP) != 0;
  if (name == nullptr) {
    const auto request = Request(false, false, {});
    RunOnGuiThread([request] { Stop(request); });
    return TRUE;
  }
  // Playing is always in the background: nobody here waits for a sound to end.
  if ((flags & SND_RESOURCE) == SND_RESOURCE) {
    const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    const ResourceEntry* entry = FindResource(module, id);
    if (entry == nullptr || !IsWave(entry->data, entry->size)) {
      Diag(DiagLevel::Warning, "sound resource %d: missing or not a WAV", id);
      return FALSE;
    }
    const auto request = Request(true, loop, "resource " + std::to_string(id));
    RunOnGuiThread([request, id, entry, loop] { Play(request, ResourceFile(id, entry), loop); });
    return TRUE;
  }
  if (!FileIsWave(name)) {
    Diag(DiagLevel::Warning, "sound file %s: missing or not a WAV", name);
    return FALSE;
  }
  const QString path = QFileInfo(QString::fromLocal8Bit(name)).absoluteFilePath();
  const auto request = Request(true, loop, path.toStdString());
  RunOnGuiThread([request, path, loop] { Play(request, path, loop); });
  return TRUE;
}
