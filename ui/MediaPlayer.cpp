#include "ui/MediaPlayer.h"

namespace ui {

// Every backend gives a media player a MediaPeer (Backend::CreatePeer dispatches on the kind).
MediaPeer* MediaPlayer::Media() { return static_cast<MediaPeer*>(GetPeer()); }

bool MediaPlayer::Open() { return Media() && Media()->Open(); }

void MediaPlayer::Play() {
  if (Media()) Media()->Play();
}

int64_t MediaPlayer::Position() { return Media() ? Media()->Position() : 0; }

int64_t MediaPlayer::Length() { return Media() ? Media()->Length() : 0; }

}  // namespace ui
