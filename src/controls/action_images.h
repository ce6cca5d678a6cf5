#pragma once
// The two 16 by 16 pictures of the actions list and of the browse button,
// drawn here rather than loaded: a yellow folder (image 0) and a registry
// document (image 1). Each icon holds the picture at 16 and 32 pixels.

#include <QIcon>

namespace kestrel {

constexpr int kFolderImage = 0;
constexpr int kRegistryImage = 1;

// The picture of an image number; any number other than 1 gives the folder.
const QIcon& ActionIcon(int image);

}  // namespace kestrel
