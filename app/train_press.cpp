#include "app/train_press.h"

#include "display/gl_view.h"
#include "display/offscreen_image.h"
#include "evolution/evolver.h"

std::unique_ptr<COffscreenImage> CaptureTargetPicture(CGLView& targetView) {
    std::unique_ptr<COffscreenImage> image = targetView.CreateImage(1.0, false);
    targetView.Capture(*image);
    return image;
}

void TrainTowards(COffscreenImage& picture, CEvolver& evolver, CGLView& evolvedView, int generations,
                  int generationsDone) {
    evolver.target = &picture;
    if (generationsDone < 0)
        evolver.Train(generations);
    else
        evolver.ContinueTraining(generations, generationsDone);
    evolvedView.Render();
    evolver.target = nullptr;
}
