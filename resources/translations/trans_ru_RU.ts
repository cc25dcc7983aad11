<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>инфо</translation>
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
        <translation>Form</translation>
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
        <translation>Вы хотите, чтобы закрыть приложение?</translation>
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
</context>
<context>
    <name>MapWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Centre on vehicle</source>
        <translation>Центрировать на автомобиле</translation>
    </message>
    <message>
        <source>Show whole route</source>
        <translation>Показать весь маршрут</translation>
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
        <translation>инфо</translation>
    </message>
    <message>
        <source>Acceleration in m/s²</source>
        <translation>Ускорение  в м/с²</translation>
    </message>
    <message>
        <source>Application already started!</source>
        <translation>Применение уже начался!</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Hазад</translation>
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
        <translation>уменьшить</translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>выберите язык</translation>
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
        <translation>Bидео mинимизировать</translation>
    </message>
    <message>
        <source>Video fullscreen on</source>
        <translation>Bидео mаксимизировать</translation>
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
</context>
<context>
    <name>RouteLegend</name>
    <message>
        <source>Ahead</source>
        <translation>Впереди</translation>
    </message>
    <message>
        <source>Bridged gap</source>
        <translation>Восполненный пропуск</translation>
    </message>
    <message>
        <source>Driven</source>
        <translation>Пройдено</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Событие</translation>
    </message>
    <message>
        <source>No GPS fix</source>
        <translation>Нет сигнала GPS</translation>
    </message>
</context>
</TS>
