// An empty Qt Widgets window of a given size, the measure against which bench/editor-window
// takes the time until the editor's window appears.
//   rigsmith-empty-window WIDTH HEIGHT

#include <QApplication>
#include <QWidget>

#include <cstdlib>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Empty window");
    if (argc > 2)
        window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    window.show();
    return QApplication::exec();
}
