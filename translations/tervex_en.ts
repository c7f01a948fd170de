<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>AutoSettingsWidget</name>
    <message>
        <source>Последовательность</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Создать…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>выкл.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Макс. разброс, %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Повторов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выполнить</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DataFileLock</name>
    <message>
        <source>Файл данных %1 уже записывается другой съёмкой (%2, процесс %3 на %4). Дождитесь её окончания или выберите другой файл.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>программа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>этом компьютере</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось создать файл блокировки %1 рядом с файлом данных.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Etr2txtTool</name>
    <message>
        <source>%1: не удалось открыть файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: Преобразование etr в txt: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Некорректное значение поляризации
Будет выполнено преобразование без поляризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: не удалось записать файл %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EtrFile</name>
    <message>
        <source>Загрузка etr</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 не является обычным файлом
Файл не загружен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>
Файл не загружен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Некорректное значение электрода EM (%1), EN (%2) в блоке %3
Дальнейший результат чтения файла недостоверен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Некорректное число каналов (%1), EA (%2), EB (%3) в блоке %4
Чтение файла прервано, файл будет показан частично</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл обрывается внутри блока %1 (есть %2 байт из %3)
Неполная запись отброшена, файл будет показан частично</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EtrFormat</name>
    <message>
        <source>Некорректные параметры записи в заголовке: импульс (%1), пауза (%2), периоды (%3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись с импульсом %1 мс, паузой %2 мс и %3 периодами не содержит ни одного отсчёта</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл короче заголовка (%1 байт из %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Некорректное число электродов (%1) в заголовке</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EtrViewer</name>
    <message>
        <source>Преобразование etr в txt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>папка %1 не найдена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>на месте файла находится папка с тем же именем</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>файл защищён от записи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет прав на запись в папку</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ошибка записи на диск</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Просмотр ETR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обработать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Экспорт…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Учесть поляризацию</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сигналы</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Разрез</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Управление</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ток</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Гор.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Верт.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Электроды</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Импульс: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пауза: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Периоды: &lt;b&gt;%1&lt;/b&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>I=&lt;b&gt;%1&lt;/b&gt;мА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>V=&lt;b&gt;%1&lt;/b&gt;мВ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rho=&lt;b&gt;%1&lt;/b&gt;Ом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл не открыт: преобразовывать нечего.
Откройте файл etr кнопкой «Открыть».</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Некорректное значение поляризации
Будет выполнено преобразование без поляризации</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Преобразование с поляризацией успешно завершено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Преобразование успешно завершено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Экспорт для инверсии</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Формат:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обзор…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>С поляризацией (заряжаемость)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все записи повторённых квадруполей (иначе лучшая)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл не открыт: экспортировать нечего.
Откройте файл etr кнопкой «Открыть».</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Укажите файл, в который записать данные.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExportTool</name>
    <message>
        <source>%1: не удалось открыть файл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет данных для записи</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GeneratorControlWidget</name>
    <message>
        <source>Напряжение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Повторения</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Импульс</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InversionDataset</name>
    <message>
        <source>Электрод x=%1 м, y=%2 м: высота %3 м в файле %4, %5 м в файле %6; взята первая</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет координат электрода в файле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл %1: импульс %2 мс, в первом файле %3 мс; окно заряжаемости в заголовке взято по первому файлу</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InversionReport</name>
    <message>
        <source>Записан файл %1, данных: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пропущено данных: %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InversionWriters</name>
    <message>
        <source>Универсальный формат .ohm (pyGIMLi, BERT, ResIPy)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Таблица CSV для ResIPy (тип Syscal)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Res2DInv, общий массив (.dat)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>значения не вычислены</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>геометрический коэффициент равен нулю</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>поляризация не вычислена</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MeasurementPlot</name>
    <message>
        <source>н/и</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ток
%1 - %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Канал %1
%2 - %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Напряжение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>К%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10 Ом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>100 Ом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3 кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10 кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>50 кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 МОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt;1МОм</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PseudosectionPlot</name>
    <message>
        <source>X, м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Глубина, м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ρа, Ом·м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A %1  B %2  M %3  N %4
ρа = %5 Ом·м
отклонение = %6 %
η = %7</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PseudosectionView</name>
    <message>
        <source>ρа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Крест: разброс более</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Сохранить разрез</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RepeatPolicy</name>
    <message>
        <source>повтор %1 из %2: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>разброс %1 % на канале %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ток %1 мА</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SequenceFile</name>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не найден раздел координат &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ожидаются номер электрода и координаты x y z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>координаты электрода %1 должны быть конечными числами</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>электрод %1 задан повторно</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Раздел координат не содержит ни одного электрода</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не найден раздел четырёхполюсников &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ожидаются номер строки и электроды A B M N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>номер электрода %1 вне диапазона %2…%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>электрод %1 не задан в разделе координат</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>электроды A и B совпадают</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>не задан ни один питающий электрод</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>электрод A совпадает с M или N</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Раздел четырёхполюсников не содержит ни одной строки</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Строка %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SequenceGenerator</name>
    <message>
        <source>Веннер-альфа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Веннер-Шлюмберже</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Диполь-диполь</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Трёхэлектродная (полюс-диполь)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Многоэлектродный градиент</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Число электродов должно быть от 3 до %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шаг электродов должен быть больше 0 и не больше 1000 м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Первый и последний электроды должны лежать в 1…%1, первый перед последним</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неверный диапазон a: от %1 до %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неверный диапазон n: от %1 до %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Число каналов должно быть от 1 до 255</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ни один квадруполь не помещается на электродах %1…%2 при этих a и n</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Квадруполей: %1, шагов: %2, время съёмки ≈ %3 (импульс %4 мс, пауза %5 мс, периодов %6); потенциальных электродов сразу после тока: %7</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось создать файл %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, строка %2: ожидались два числа x z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: нет ни одной точки x z</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SequenceGeneratorDialog</name>
    <message>
        <source>Создание последовательности</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> м</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>все</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Взаимные измерения (AB и MN поменяны)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Порядок для ВП (без поляризованных M, N)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>файл x z (необязательно)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Установка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Шаг</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Электроды от – до</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a (в шагах) от – до</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>n от – до</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Каналов на шаг</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Рельеф</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Имя файла</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Создать</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Задайте имя файла без папки: он пишется в папку последовательностей</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл %1 уже есть. Заменить его?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SequenceStrategy</name>
    <message>
        <source>Файл данных не открыт для записи.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция выполнила запись с импульсом %1, паузой %2 и %3 периодами, а файл данных записан с импульсом %4, паузой %5 и %6 периодами. Запись не сохранена.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Запись неполная: получено %1 отсчётов из %2. Запись не сохранена.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать блок в файл данных: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл данных: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StationInfoTableModel</name>
    <message>
        <source>Канал</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Версия ПО</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Статус</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>готов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ошибка</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StationSettingsTableModel</name>
    <message>
        <source>Вкл</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Усил.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StationValueBox</name>
    <message>
        <source>Станция сообщает %1: вне диапазона %2…%3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SurveyReport</name>
    <message>
        <source>Отчёт о съёмке %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Съёмка остановлена до конца последовательности.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Съёмка завершена.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Макс. разброс: %1 %, повторов не более %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Автоматические повторы выключены.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Записей: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Повторов: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выше предела: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  A=%1 B=%2 M=%3 N=%4, канал %5: разброс %6 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Каналы без данных: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>нет</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Время съёмки: %1:%2:%3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SurveyStrategy</name>
    <message>
        <source>Потеряна связь со станцией.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция не отвечает.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TervexDevice</name>
    <message>
        <source>Станция %1 не отвечает</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 не подтвердила параметры записи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес станции «%1» не является адресом IPv4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 недоступна: ни один сетевой интерфейс компьютера не находится в её подсети %2/24</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 недоступна: не удалось занять локальный адрес %2 (%3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 отклонила соединение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 недоступна: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Связь со станцией %1 потеряна</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Связь со станцией %1 закрыта до начала записи</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 прислала неполное описание (%2 байт)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 подтвердила запись, которую нельзя сохранить: импульс %2 мс, пауза %3 мс, периодов %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 подтвердила запись без отсчётов: импульс %2 мс, пауза %3 мс, периодов %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 не открыла соединение данных</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 передаёт больше отсчётов, чем в записи (%2 вместо %3)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Станция %1 закрыла соединение данных до конца записи (%2 отсчётов из %3)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TervexModel</name>
    <message>
        <source>Номер электрода должен быть от 1 до %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет результатов теста электродов: сначала выполните тест всех электродов.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет электродов с сопротивлением выше %1 Ом.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Электроды Ca и Cb совпадают (%1): ток не потечёт через землю, сопротивление не может быть измерено. Выберите разные Ca и Cb.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось прочитать файл последовательности %1:
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 не является обычным файлом и не может быть продолжен.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось открыть файл данных %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет файла последовательности %1 рядом с файлом данных.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл данных %1 не может быть продолжен: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл данных %1 повреждён после записи %2 и не может быть продолжен.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Все линии последовательности уже измерены</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось отрезать неполную последнюю запись файла %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось открыть файл данных %1 для продолжения.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Нет готовых к работе каналов: съёмка не измерила бы ни одного потенциала.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл данных должен иметь расширение .etr: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл данных %1 записал бы свою копию последовательности поверх исходного файла %2. Выберите другое имя файла данных.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Съёмка не начата: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 не является обычным файлом.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось создать файл данных %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл данных %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не удалось записать файл последовательности %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Съёмку можно начать по файлу последовательности (.txt) или продолжить по файлу данных (.etr): %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TervexWidget</name>
    <message>
        <source>Тервекс-М1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>СТАНЦИЯ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>НАСТРОЙКА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ЗАПИСЬ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ГРАФИК</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ТАБЛИЦА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>РАЗРЕЗ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0.0В</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Обработка</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Подключить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ПО адаптера:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ПО генератора:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Координаты GPS:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Информация</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измерители</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>АВТОМАТ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ТЕСТ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ПРОБА</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>РЕЛЕ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Работа</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Повтор</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>След.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Файл данных: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Не доступно</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;h2&gt;Внимание!&lt;/h2&gt;&lt;p&gt;Нет подключения к станции.&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Адрес и порты станции задаются в файле настроек %1 (ключи tervex_host, command_port, data_port); после изменения перезапустите программу.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;h2&gt;Внимание!&lt;/h2&gt;&lt;p&gt;Нет подключения к станции: %1&lt;/p&gt;&lt;p&gt;%2&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выполняется подключение к станции...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1В</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;h2&gt;Ошибка!!!&lt;/h2&gt;&lt;/p&gt;&lt;p&gt;Длительность паузы больше 0 мс, но меньше 40 мс.&lt;/p&gt;&lt;p&gt;Продолжение невозможно.&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>При длительности паузы 0 мс
точность расчетов снижается</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>При длительности импульса менее 200 мс
точность расчетов снижается</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>При длительности импульса менее 200 мс
и при длительности паузы 0 мс
точность расчетов снижается</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идёт измерение</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Съёмка идёт, файл данных: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идёт тест электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Напряжение для теста</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Базовое сопротивление</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отклонение сопротивления</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тест электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Напряжение от 10В до 20В</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тест реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Базовое сопротивление от 50 до 150 Ом</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отклонение сопротивления от 1 до 25 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Идёт измерение. Прервать?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1ч %2м %3с</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1м %2с</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1с</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>запись %1 из %2 | осталось %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Съёмка завершена, файл данных: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Пробная запись завершена</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Съёмка остановлена; записанные измерения сохранены в %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Измерение остановлено</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тест завершён</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тест завершён, отчёт: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тест остановлен</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;h2&gt;Внимание!&lt;/h2&gt;&lt;p&gt;Измерение прервано: %1&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;Записанные измерения сохранены. Съёмку можно продолжить: выберите её файл данных (.etr) в режиме АВТОМАТ вместо файла последовательности.&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;Отчёт не записан: %1&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;p&gt;Отчёт записан в %1&lt;/p&gt;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TestDataManager</name>
    <message>
        <source>Нет неисправных реле</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тестовая нагрузка не подключена: все %1 пар показывают обрыв (выше 1 МОм). Подключите тестовую нагрузку и повторите тест.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Вне допуска %1 пар из %2: проверьте тестовую нагрузку и её подключение, затем повторите тест. Неисправное реле по таким измерениям не определить.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Неисправно реле</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TestRecordPanel</name>
    <message>
        <source>ВСЕ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ЭЛЕКТРОД</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ДИАПАЗОН</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Тестирование всех электродов</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt; 1кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt; 3кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt; 10кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&gt; 50кОм</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Номер электрода:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Выполнить</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
