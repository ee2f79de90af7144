// make_vobsub_set BASE [whole]: writes a VobSub set for the end-to-end runs: English, two
// white boxes of 200 x 40 pixels with a black frame, from 1 to 5 and from 7 to 11 seconds;
// with "whole", one box from 0.5 to 29.5 seconds.
#include <string>

#include "vobsub_writer.h"

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 3 && std::string(argv[2]) == "whole")) return 2;
  auto box = [](int64_t start, int64_t length) {
    auto picture = captivo::test::MakePicture(start, length, 200, 40, [](int x, int y) {
      return x < 2 || y < 2 || x >= 198 || y >= 38 ? 2 : 1;
    });
    picture.x = 220;
    picture.y = 200;
    picture.colour = {0, 1, 0, 0};  // value 1 white, 2 black
    picture.alpha = {0, 15, 15, 0};
    return picture;
  };
  const auto pictures = argc == 3 ? std::vector{box(500, 29000)}
                                  : std::vector{box(1000, 4000), box(7000, 4000)};
  captivo::test::WriteVobSub(argv[1], {{"en", 0, pictures}}, captivo::test::TestPalette());
  return 0;
}
