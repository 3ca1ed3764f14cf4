#include "app/Display.h"
#include "app/FatalError.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs the test binary's own child mode and returns its exit status and output.
struct ChildRun {
    int exitCode = -1;
    std::string output;
};

ChildRun runChild(const std::string& mode, const std::string& input, const std::string& environment = "") {
    const std::string command = "printf '" + input + "' | " + environment + " WM_CHILD_MODE=" + mode + " /proc/" +
                                std::to_string(getpid()) + "/exe --gtest_also_run_disabled_tests --gtest_filter=DISABLED_ChildMode.* 2>&1";
    ChildRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    while (pipe && fgets(buffer, sizeof buffer, pipe)) {
        run.output += buffer;
    }
    const int status = pipe ? pclose(pipe) : -1;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}

// Runs only inside a child started by the tests below (disabled otherwise).
TEST(DISABLED_ChildMode, Run) {
    const char* mode = std::getenv("WM_CHILD_MODE");
    if (!mode) {
        GTEST_SKIP();
    }
    if (std::string(mode) == "fatal") {
        fatalError("Something is wrong!");
    }
    if (std::string(mode) == "display") {
        SDL_Init(SDL_INIT_VIDEO);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        Display display;
        display.create("WM");
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        int width = 0, height = 0;
        SDL_GetWindowSize(display.window, &width, &height);
        std::printf("title=%s size=%dx%d clear=%g,%g,%g,%g viewport=%d,%d,%d,%d opengl=%d\n",
                    SDL_GetWindowTitle(display.window), width, height, clear[0], clear[1], clear[2], clear[3],
                    viewport[0], viewport[1], viewport[2], viewport[3],
                    (SDL_GetWindowFlags(display.window) & SDL_WINDOW_OPENGL) ? 1 : 0);
        std::exit(0);
    }
    if (std::string(mode) == "nodisplay") {
        // Started with a video driver that does not exist: no window can be made.
        Display display;
        display.create("WM");
    }
}

TEST(FatalError, PrintsPromptsReadsAnIntegerAndExitsWith69) {
    const ChildRun run = runChild("fatal", "5\\n");
    EXPECT_EQ(run.exitCode, FATAL_EXIT_CODE);
    EXPECT_NE(run.output.find("Something is wrong!\nEnter any key to quit..."), std::string::npos) << run.output;
}

TEST(FatalError, EndsAlsoWhenStandardInputIsEmpty) {
    const ChildRun run = runChild("fatal", "");
    EXPECT_EQ(run.exitCode, FATAL_EXIT_CODE);
}

TEST(Display, OpensTheBlueWindowWithItsViewport) {
    const ChildRun run = runChild("display", "");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("title=WM size=1024x768 clear=0,0,1,1 viewport=0,0,1024,768 opengl=1"),
              std::string::npos)
        << run.output;
}

TEST(Display, AWindowThatCannotBeMadeIsFatal) {
    const ChildRun run = runChild("nodisplay", "x\\n", "SDL_VIDEODRIVER=no_such_driver");
    EXPECT_EQ(run.exitCode, FATAL_EXIT_CODE);
    EXPECT_NE(run.output.find("SDL Window could not be created!\nEnter any key to quit..."), std::string::npos)
        << run.output;
}
