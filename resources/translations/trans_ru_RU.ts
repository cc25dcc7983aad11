<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <translation>Лицензионный договор пользователя</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <comment>tab</comment>
        <translation>Лицензионный
договор
пользователя</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <translation>Правовое уведомление</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <comment>tab</comment>
        <translation>Правовое
уведомление</translation>
    </message>
    <message>
        <source>Licenses</source>
        <translation>Лицензии</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Защита
данных</translation>
    </message>
    <message>
        <source>Privacy statement</source>
        <translation>Защита данных</translation>
    </message>
    <message>
        <source>This application uses the following 3rd-party opensource components</source>
        <translation>Это приложение использует  компоненты из открытых источников 3-их сторон</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Версия: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>ControlPanelWgt</name>
    <message>
        <source>00:00</source>
        <translation>00:00</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Do you want to close the application?</source>
        <translation>Вы действительно хотите закрыть приложение?</translation>
    </message>
    <message>
        <source>Halvard Tarrow</source>
        <translation>Halvard Tarrow</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Settings cannot be saved.</source>
        <translation>Настройки нельзя сохранить.</translation>
    </message>
    <message>
        <source>No folder of your own can be written (neither beside the program nor in your configuration folder). Tarrow runs with its default settings and forgets changes when it closes.</source>
        <translation>Ни одна ваша папка не доступна для записи (ни рядом с программой, ни в папке настроек). Tarrow работает с настройками по умолчанию и забудет изменения при закрытии.</translation>
    </message>
</context>
<context>
    <name>MapWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
</context>
<context>
    <name>PlaylistWgt</name>
    <message>
        <source>Danger</source>
        <translation>Опасность</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Длительность</translation>
    </message>
    <message>
        <source>Invalid files selected!</source>
        <translation>Неверно выбранные файлы!</translation>
    </message>
    <message>
        <source>MP4 (*.mp4)</source>
        <translation>MP4 (*.mp4)</translation>
    </message>
    <message>
        <source>Open Movie or Directory</source>
        <translation>Открыть фильм или каталог</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Open the camera's memory card or a folder of recordings; its trips are listed here.</source>
        <translation>Откройте карту памяти камеры или папку с записями; поездки появятся здесь.</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 не существует.</translation>
    </message>
    <message numerus="yes">
        <source>%n camera video(s) found.</source>
        <translation>
            <numerusform>Найдено %n видео камеры.</numerusform>
            <numerusform>Найдено %n видео камеры.</numerusform>
            <numerusform>Найдено %n видео камеры.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n chosen item(s) in %1</source>
        <translation>
            <numerusform>%n выбранный элемент в %1</numerusform>
            <numerusform>%n выбранных элемента в %1</numerusform>
            <numerusform>%n выбранных элементов в %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) looked at, none of them a camera recording (a video named like 001_0001_20240501120000.mp4).</source>
        <translation>
            <numerusform>Просмотрен %n файл, среди них нет записей камеры (видео с именем вида 001_0001_20240501120000.mp4).</numerusform>
            <numerusform>Просмотрено %n файла, среди них нет записей камеры (видео с именем вида 001_0001_20240501120000.mp4).</numerusform>
            <numerusform>Просмотрено %n файлов, среди них нет записей камеры (видео с именем вида 001_0001_20240501120000.mp4).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of the chosen paths do(es) not exist.</source>
        <translation>
            <numerusform>%n из выбранных путей не существует.</numerusform>
            <numerusform>%n из выбранных путей не существуют.</numerusform>
            <numerusform>%n из выбранных путей не существуют.</numerusform>
        </translation>
    </message>
    <message>
        <source>List the files that were left out and why</source>
        <translation>Показать пропущенные файлы и причины</translation>
    </message>
    <message>
        <source>No files were found.</source>
        <translation>Файлы не найдены.</translation>
    </message>
    <message>
        <source>No recordings could be opened from %1.</source>
        <translation>Не удалось открыть записи из %1.</translation>
    </message>
    <message>
        <source>No recordings found in %1.</source>
        <translation>В %1 записи не найдены.</translation>
    </message>
    <message>
        <source>No recordings open</source>
        <translation>Записи не открыты</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n chosen path(s) exists.</source>
        <translation>
            <numerusform>Выбранный путь не существует.</numerusform>
            <numerusform>Ни один из %n выбранных путей не существует.</numerusform>
            <numerusform>Ни один из %n выбранных путей не существует.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>None of the %n video(s) from %1 could be played.</source>
        <translation>
            <numerusform>Видео из %1 не удаётся воспроизвести.</numerusform>
            <numerusform>Ни одно из %n видео из %1 не удаётся воспроизвести.</numerusform>
            <numerusform>Ни одно из %n видео из %1 не удаётся воспроизвести.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was opened.</source>
        <translation>Ничего не открыто.</translation>
    </message>
    <message>
        <source>Open recordings…</source>
        <translation>Открыть записи…</translation>
    </message>
    <message>
        <source>Shortcut: %1</source>
        <translation>Сочетание клавиш: %1</translation>
    </message>
    <message>
        <source>The folder and its subfolders hold no files.</source>
        <translation>В папке и её подпапках нет файлов.</translation>
    </message>
    <message>
        <source>show the files</source>
        <translation>показать файлы</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source> km/h</source>
        <translation> км/ч</translation>
    </message>
    <message>
        <source> m/s²</source>
        <translation> м/с²</translation>
    </message>
    <message>
        <source> mph</source>
        <translation> миль/ч</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Acceleration in m/s²</source>
        <translation>Ускорение  в м/с²</translation>
    </message>
    <message>
        <source>Application already started!</source>
        <translation>Приложение уже запущено!</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Corrupted file. Video can't be loaded!</source>
        <translation>Поврежденный файл. Видео не может быть загружен!</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Вперед</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Максимизировать</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Минимизировать</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open Halvard website</source>
        <translation>Открыть сайт Halvard</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Пауза</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Воспроизведение</translation>
    </message>
    <message>
        <source>Restore down</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>Выбрать язык</translation>
    </message>
    <message>
        <source>Speed in km/h</source>
        <translation>Скорость в км/ч</translation>
    </message>
    <message>
        <source>Speed in mph</source>
        <translation>Скорость в миль / ч</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Неизвестный</translation>
    </message>
    <message>
        <source>Video fullscreen off</source>
        <translation>Видео: обычный размер</translation>
    </message>
    <message>
        <source>Video fullscreen on</source>
        <translation>Видео: во весь экран</translation>
    </message>
    <message>
        <source>Volume off</source>
        <translation>Тон выключить</translation>
    </message>
    <message>
        <source>Volume on</source>
        <translation>Тон включить</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Перспективу приблизить</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Перспективу отдалить</translation>
    </message>
    <message>
        <source> g</source>
        <translation> g</translation>
    </message>
    <message>
        <source> km</source>
        <translation> км</translation>
    </message>
    <message>
        <source> m</source>
        <translation> м</translation>
    </message>
    <message>
        <source> mi</source>
        <translation> миль</translation>
    </message>
    <message>
        <source> ft</source>
        <translation> фут</translation>
    </message>
</context>
<context>
    <name>SettingsButton</name>
    <message>
        <source>Acceleration</source>
        <translation>Ускорение</translation>
    </message>
    <message>
        <source>Kilometres per hour (km/h)</source>
        <translation>Километры в час (км/ч)</translation>
    </message>
    <message>
        <source>Metres per second squared (m/s²)</source>
        <translation>Метры в секунду за секунду (м/с²)</translation>
    </message>
    <message>
        <source>Miles per hour (mph)</source>
        <translation>Мили в час (миль/ч)</translation>
    </message>
    <message>
        <source>Settings: units and time offset</source>
        <translation>Настройки: единицы и сдвиг времени</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Standard gravity (g)</source>
        <translation>Ускорение свободного падения (g)</translation>
    </message>
    <message>
        <source>Time offset: %1 h…</source>
        <translation>Сдвиг времени: %1 ч…</translation>
    </message>
</context>
<context>
    <name>SkippedFiles</name>
    <message numerus="yes">
        <source>%n file(s) skipped</source>
        <translation>
            <numerusform>Пропущен %n файл</numerusform>
            <numerusform>Пропущено %n файла</numerusform>
            <numerusform>Пропущено %n файлов</numerusform>
        </translation>
    </message>
    <message>
        <source>not a playable video</source>
        <translation>не воспроизводимое видео</translation>
    </message>
    <message>
        <source>not named like a camera recording</source>
        <translation>с именем не как у записи камеры</translation>
    </message>
    <message>
        <source>without a matching NMEA file</source>
        <translation>без соответствующего файла NMEA</translation>
    </message>
    <message>
        <source>without a valid start time in the name</source>
        <translation>без правильного времени начала в имени</translation>
    </message>
</context>
<context>
    <name>SkippedFilesDialog</name>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Папка</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Причина</translation>
    </message>
</context>
<context>
    <name>TimeOffsetDialog</name>
    <message>
        <source> h</source>
        <translation> ч</translation>
    </message>
    <message>
        <source> min</source>
        <translation> мин</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Направление</translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>Часы</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Минуты</translation>
    </message>
    <message>
        <source>No offset</source>
        <translation>Без сдвига</translation>
    </message>
    <message>
        <source>Shift the shown clock times, for a camera whose clock or GPS time is not the local time.</source>
        <translation>Сдвигает показываемое время, если часы камеры или время GPS не совпадают с местным временем.</translation>
    </message>
    <message>
        <source>Time offset</source>
        <translation>Сдвиг времени</translation>
    </message>
</context>
</TS>
