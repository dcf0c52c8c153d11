#include "app/help_topics.h"

#include "app/command_ids.h"

namespace {

struct STopic {
    int m_nContext;
    const char* m_pszPage;
};

constexpr STopic kTopics[] = {
    {HID_BASE_RESOURCE + IDR_MAINFRAME, "wnd_main.htm"},
    {HID_BASE_RESOURCE + IDR_GSDTYPE, "wnd_child.htm"},
    {HID_BASE_CONTROL + IDC_OUTPUT_LIST, "wnd_output.htm"},
    {HID_BASE_CONTROL + AFX_IDW_TOOLBAR, "wnd_toolbar.htm"},
    {HID_BASE_CONTROL + AFX_IDW_STATUS_BAR, "wnd_statusbar.htm"},
    {HID_BASE_COMMAND + ID_FILE_NEW, "cmd_file_new.htm"},
    {HID_BASE_COMMAND + ID_FILE_OPEN, "cmd_file_open.htm"},
    {HID_BASE_COMMAND + ID_FILE_CLOSE, "cmd_file_close.htm"},
    {HID_BASE_COMMAND + ID_FILE_SAVE, "cmd_file_save.htm"},
    {HID_BASE_COMMAND + ID_FILE_SAVE_AS, "cmd_file_saveas.htm"},
    {HID_BASE_COMMAND + ID_FILE_PRINT, "cmd_file_print.htm"},
    {HID_BASE_COMMAND + ID_FILE_PRINT_SETUP, "cmd_file_setup.htm"},
    {HID_BASE_COMMAND + ID_FILE_PRINT_PREVIEW, "cmd_file_preview.htm"},
    {HID_BASE_COMMAND + ID_APP_EXIT, "cmd_file_exit.htm"},
    {HID_BASE_COMMAND + ID_EDIT_UNDO, "cmd_edit_undo.htm"},
    {HID_BASE_COMMAND + ID_EDIT_CUT, "cmd_edit_cut.htm"},
    {HID_BASE_COMMAND + ID_EDIT_COPY, "cmd_edit_copy.htm"},
    {HID_BASE_COMMAND + ID_EDIT_PASTE, "cmd_edit_paste.htm"},
    {HID_BASE_COMMAND + ID_EDIT_FIND, "cmd_edit_find.htm"},
    {HID_BASE_COMMAND + ID_EDIT_REPLACE, "cmd_edit_replace.htm"},
    {HID_BASE_COMMAND + ID_VIEW_TOOLBAR, "cmd_view_toolbar.htm"},
    {HID_BASE_COMMAND + ID_VIEW_FLATBAR, "cmd_view_flatbar.htm"},
    {HID_BASE_COMMAND + ID_VIEW_STATUS_BAR, "cmd_view_statusbar.htm"},
    {HID_BASE_COMMAND + ID_VIEW_OUTPUT, "cmd_view_output.htm"},
    {HID_BASE_COMMAND + ID_VIEW_OUTPUT_BAR, "cmd_view_output.htm"},
    {HID_BASE_COMMAND + ID_EXTRAS_REBUILD, "cmd_extras_rebuild.htm"},
    {HID_BASE_COMMAND + ID_EXTRAS_CHECK, "cmd_extras_check.htm"},
    {HID_BASE_COMMAND + ID_EXTRAS_SETTINGS, "cmd_extras_settings.htm"},
    {HID_BASE_COMMAND + ID_EXTRAS_SLAVE_CONFIG, "cmd_extras_slave_config.htm"},
    {HID_BASE_COMMAND + ID_WINDOW_CASCADE, "cmd_window_cascade.htm"},
    {HID_BASE_COMMAND + ID_WINDOW_TILE_HORZ, "cmd_window_tile_horz.htm"},
    {HID_BASE_COMMAND + ID_WINDOW_TILE_VERT, "cmd_window_tile_vert.htm"},
    {HID_BASE_COMMAND + ID_WINDOW_ARRANGE, "cmd_window_arrange.htm"},
    {HID_BASE_COMMAND + ID_WINDOW_SPLIT, "cmd_window_split.htm"},
    {HID_BASE_COMMAND + AFX_IDM_FIRST_MDICHILD, "cmd_window_list.htm"},
    {HID_BASE_COMMAND + ID_HELP_INDEX, "cmd_help_index.htm"},
    {HID_BASE_COMMAND + ID_HELP_FINDER, "cmd_help_context.htm"},
    {HID_BASE_COMMAND + ID_CONTEXT_HELP, "cmd_help_context.htm"},
    {HID_BASE_COMMAND + ID_APP_ABOUT, "cmd_help_about.htm"},
};

}  // namespace

std::string HelpTopicForContext(int contextId) {
    if (contextId >= HID_BASE_COMMAND + ID_FILE_MRU_FIRST && contextId <= HID_BASE_COMMAND + ID_FILE_MRU_LAST)
        return "cmd_file_mru.htm";
    for (const STopic& topic : kTopics)
        if (topic.m_nContext == contextId) return topic.m_pszPage;
    return {};
}
